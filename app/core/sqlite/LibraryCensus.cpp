#include "app/core/sqlite/LibraryCensus.h"

#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TextIndexes.h"

#include <QList>

#include <algorithm>
#include <array>
#include <future>
#include <tuple>

namespace quillbox
{

namespace
{

// What the SQL that the script `name` makes prints, run on the database:
// statements to run after the rebuild; nullopt when either run fails.
std::optional<QByteArray> statementsOf(QuerySeries &queries, const QByteArray &settings,
                                       const QString &name)
{
    const SqliteShell::Output script =
        queries.query(settings + loadScript(QStringLiteral("ColumnsScript")) + loadScript(name));
    if (script.status != 0)
        return std::nullopt;
    const SqliteShell::Output statements = queries.query(settings + script.text);
    if (statements.status != 0)
        return std::nullopt;
    return statements.text;
}

} // namespace

std::optional<Census> takeCensus(QuerySeries &queries, const DerivedRows &derived)
{
    // The scripts the census runs are made from the library's names: they
    // reach the shell on its standard input, in safe mode, like all else.
    const QByteArray settings = shellPreamble() + skippedTables(derived);
    const SqliteShell::Output censusScript =
        queries.query(settings + loadScript(QStringLiteral("CensusScript")));
    const SqliteShell::Output digestScript =
        queries.query(settings + loadScript(QStringLiteral("DigestScript")));
    if (censusScript.status != 0 || digestScript.status != 0)
        return std::nullopt;
    const SqliteShell::Output scanned = queries.query(settings + censusScript.text);
    if (scanned.status != 0)
        return std::nullopt;
    Census census;
    census.digestScript = digestScript.text;
    census.textIndexes = rebuildStatements(derived);
    // Each line is "count|name in hex|rows with NUL|inexact REAL values|no
    // rowid|shadow table".
    qint64 inexactReals = 0;
    qint64 textToSet = 0;
    for (const QByteArray &line : scanned.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        if (fields.size() != 6)
            continue;
        const QString name = QString::fromUtf8(QByteArray::fromHex(fields[1]));
        census.tables.append(name);
        if (fields[5] != "1" && !name.startsWith(u"sqlite_"))
            census.rows.append({name, fields[0].toLongLong()});
        (fields[4] == "1" ? census.rowsWithNulText : textToSet) += fields[2].toLongLong();
        inexactReals += fields[3].toLongLong();
    }
    // The statements that set those values exactly after the rebuild, made
    // only when there are any.
    const std::array<std::tuple<qint64, const char *, QByteArray *>, 2> exact{
        {{textToSet, "TextScript", &census.exactText},
         {inexactReals, "RealsScript", &census.exactReals}}};
    for (const auto &[count, script, statements] : exact) {
        if (count == 0)
            continue;
        const std::optional<QByteArray> made =
            statementsOf(queries, settings, QString::fromLatin1(script));
        if (!made)
            return std::nullopt;
        *statements = *made;
    }
    return census;
}

namespace
{

// The digest script's work for one value of @part; both parts together
// cover every row once.
QByteArray digestPart(const Census &census, int part)
{
    return ".parameter set @part " + QByteArray::number(part) + '\n' + census.digestScript;
}

// True when every line names a table and carries its digest: a part left
// unset, or a query that returned nothing, would give equal empty digests
// on both sides.
bool everyTableDigested(const QByteArray &text)
{
    const QByteArrayList lines = text.split('\n');
    return std::all_of(lines.cbegin(), lines.cend(), [](const QByteArray &line) {
        return line.isEmpty() || line.size() - line.lastIndexOf('|') == 33;
    });
}

} // namespace

Digests digestTables(const SqliteShell &shell, const QString &folder, const Census &census,
                     Cores cores)
{
    const QByteArray settings = shellPreamble();
    SqliteShell::Output first;
    SqliteShell::Output second;
    second.status = 0;
    if (cores == Cores::Two) {
        auto other = std::async(std::launch::async, [&] {
            return shell.query(folder, settings + digestPart(census, 1));
        });
        first = shell.query(folder, settings + digestPart(census, 0));
        second = other.get();
    } else {
        first = shell.query(folder, settings + digestPart(census, 0) + digestPart(census, 1));
    }
    Digests digests;
    for (const SqliteShell::Output *one : {&first, &second}) {
        if (one->troubled() && !digests.troubled)
            digests.troubled = *one;
    }
    const QByteArray text = first.text + second.text;
    if (first.status == 0 && second.status == 0 && everyTableDigested(text))
        digests.text = text;
    return digests;
}

} // namespace quillbox
