#include "app/core/sqlite/TableChecks.h"

#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"

#include <QRegularExpression>

namespace quillbox
{
namespace
{

// The rows `query` prints, each a name in hex and a second field; nullopt
// when it fails. (A name may hold any character, a line break or "|" too.)
std::optional<QList<QPair<QString, QByteArray>>> namesWith(QuerySeries &queries,
                                                           const QByteArray &query)
{
    const SqliteShell::Output rows = queries.query(shellPreamble() + query);
    if (rows.status != 0)
        return std::nullopt;
    QList<QPair<QString, QByteArray>> named;
    for (const QByteArray &line : rows.text.split('\n')) {
        const qsizetype bar = line.indexOf('|');
        if (bar > 0)
            named.append(
                {QString::fromUtf8(QByteArray::fromHex(line.left(bar))), line.mid(bar + 1)});
    }
    return named;
}

} // namespace

std::optional<FullTextTables> findFullTextTables(QuerySeries &queries)
{
    static const QStringList derived{u"data"_qs,     u"idx"_qs,    u"docsize"_qs,
                                     u"segments"_qs, u"segdir"_qs, u"stat"_qs};
    static const QStringList kept{u"content"_qs, u"config"_qs};
    static const QRegularExpression contentless(
        QStringLiteral("[(,]\\s*content\\s*=\\s*(''|\"\")\\s*[,)]"),
        QRegularExpression::CaseInsensitiveOption);
    const auto shadows = namesWith(queries, "SELECT hex(name), '' FROM pragma_table_list "
                                            "WHERE schema = 'main' AND type = 'shadow';\n");
    const auto virtuals =
        namesWith(queries, "SELECT hex(name), hex(sql) FROM sqlite_schema WHERE "
                           "type = 'table' AND sql LIKE 'CREATE VIRTUAL TABLE%';\n");
    if (!shadows || !virtuals)
        return std::nullopt;
    QHash<QString, QString> definitions;
    for (const auto &[name, sql] : *virtuals)
        definitions.insert(name, QString::fromUtf8(QByteArray::fromHex(sql)));
    FullTextTables found;
    for (const auto &shadow : *shadows) {
        const qsizetype cut = shadow.first.lastIndexOf(u'_');
        const QString owner = shadow.first.left(cut);
        const QString suffix = shadow.first.mid(cut + 1);
        if (cut <= 0 || !definitions.contains(owner) ||
            !(derived.contains(suffix) || kept.contains(suffix)))
            continue;
        if (!found.tables.contains(owner))
            found.tables.append(owner);
        if (derived.contains(suffix) && !contentless.match(definitions.value(owner)).hasMatch())
            found.derivedOwners.insert(shadow.first, owner);
    }
    found.tables.sort();
    return found;
}

std::optional<QStringList> ordinaryTables(QuerySeries &queries)
{
    const auto tables = namesWith(queries, "SELECT hex(name), '' FROM sqlite_schema WHERE type = "
                                           "'table' AND sql NOT LIKE 'CREATE VIRTUAL TABLE%';\n");
    if (!tables)
        return std::nullopt;
    QStringList names;
    for (const auto &table : *tables)
        names.append(table.first);
    return names;
}

std::optional<QHash<QString, QStringList>> checkEachAlone(QuerySeries &queries,
                                                          const QStringList &tables)
{
    if (tables.isEmpty())
        return QHash<QString, QStringList>();
    // Each check follows a line of its own that says which table it is.
    QByteArray script = shellPreamble() + ".bail off\n";
    for (qsizetype i = 0; i < tables.size(); ++i)
        script += "SELECT 'table|" + QByteArray::number(i) + "';\nPRAGMA quick_check(" +
                  sqlString(tables.at(i)) + ");\n";
    const SqliteShell::Output checked = queries.query(script);
    if (checked.troubled())
        return std::nullopt;
    QList<QStringList> said(tables.size());
    qsizetype current = -1;
    for (const QByteArray &line : checked.text.split('\n')) {
        if (line.startsWith("table|"))
            current = line.mid(6).toLongLong();
        else if (!line.isEmpty() && current >= 0 && current < tables.size())
            said[current].append(QString::fromUtf8(line));
    }
    QHash<QString, QStringList> problems;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (said.at(i).isEmpty())
            problems.insert(tables.at(i),
                            {u"quick_check(%1): stopped by an error"_qs.arg(tables.at(i))});
        else if (said.at(i) != QStringList{u"ok"_qs})
            problems.insert(tables.at(i), said.at(i));
    }
    return problems;
}

} // namespace quillbox
