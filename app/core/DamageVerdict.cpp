#include "app/core/DamageVerdict.h"

#include "app/core/ShellSettings.h"
#include "app/core/SqliteShell.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace quillbox
{
namespace
{

// Page types, from the first byte of a b-tree page's header.
constexpr int kInteriorTable = 0x05;
constexpr int kLeafTable = 0x0d;
// How many problems the quick check lists at most.
constexpr int kMaxFindings = 10000;

struct Findings {
    QList<qint64> pagesInTrees; // pages with a problem, inside some b-tree
    QList<qint64> neverUsed;    // pages no b-tree reaches
    bool freelistDamaged = false;
    bool unplaced = false; // a line that names no page
    QStringList lines;
};

Findings readQuickCheck(const QByteArray &output)
{
    static const QRegularExpression neverUsed(QStringLiteral("^Page (\\d+): never used$"));
    static const QRegularExpression page(QStringLiteral("[Pp]age (\\d+)"));
    // An index that holds more or fewer entries than its table has rows: the
    // table's rows are counted by a walk of its own b-tree, whose damage
    // shows on lines of its own, so this is the index's alone.
    static const QRegularExpression indexCount(QStringLiteral("^wrong # of entries in index "));
    Findings found;
    for (const QString &line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts)) {
        if (line == u"ok" || line.startsWith(u"*** in database"))
            continue;
        found.lines.append(line);
        if (const auto match = neverUsed.match(line); match.hasMatch())
            found.neverUsed.append(match.captured(1).toLongLong());
        else if (indexCount.match(line).hasMatch())
            continue;
        else if (line.contains(u"freelist", Qt::CaseInsensitive))
            found.freelistDamaged = true;
        else if (const auto inTree = page.match(line); inTree.hasMatch())
            found.pagesInTrees.append(inTree.captured(1).toLongLong());
        else
            found.unplaced = true;
    }
    return found;
}

QByteArray pageList(const QList<qint64> &pages)
{
    QByteArrayList numbers;
    for (const qint64 page : pages)
        numbers.append(QByteArray::number(page));
    return numbers.join(',');
}

// Whether every one of `pages` lies in the b-tree of an index. Only the
// indexes' b-trees are walked, one by one by name: a page not found in them
// belongs to a table, or to nothing.
bool damagedTreesAreIndexes(const SqliteShell &shell, const QString &folder,
                            const QList<qint64> &pages)
{
    const SqliteShell::Output trees =
        shell.query(folder, shellSettings() +
                                "SELECT d.pageno FROM sqlite_schema AS s JOIN dbstat AS d "
                                "ON d.name = s.name WHERE s.type = 'index' AND d.pageno IN (" +
                                pageList(pages) + ");\n");
    if (trees.status != 0)
        return false;
    QSet<qint64> inIndexes;
    for (const QByteArray &line : trees.text.split('\n')) {
        if (!line.isEmpty())
            inIndexes.insert(line.toLongLong());
    }
    return std::all_of(pages.begin(), pages.end(),
                       [&](qint64 page) { return inIndexes.contains(page); });
}

// Whether a page that no b-tree reaches holds table rows; pages on a
// damaged freelist may be old free pages, as many as the header counts.
bool orphansHoldRows(const SqliteShell &shell, const QString &folder, const Findings &found)
{
    const SqliteShell::Output headers = shell.query(
        folder, shellSettings() +
                    "SELECT pgno, hex(substr(data, CASE pgno WHEN 1 THEN 101 ELSE 1 END, 5)), "
                    "(SELECT hex(substr(data, 37, 4)) FROM sqlite_dbpage WHERE pgno = 1) "
                    "FROM sqlite_dbpage WHERE pgno IN (" +
                    pageList(found.neverUsed) + ");\n");
    if (headers.status != 0)
        return true;
    qint64 holdingRows = 0;
    qint64 freePages = 0;
    for (const QByteArray &line : headers.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        if (fields.size() != 3)
            continue;
        const QByteArray header = QByteArray::fromHex(fields[1]);
        freePages = fields[2].toLongLong(nullptr, 16);
        const int type = header.isEmpty() ? 0 : static_cast<unsigned char>(header[0]);
        const int cells = header.size() < 5 ? 0
                                            : static_cast<unsigned char>(header[3]) * 256 +
                                                  static_cast<unsigned char>(header[4]);
        if ((type == kLeafTable || type == kInteriorTable) && cells > 0)
            ++holdingRows;
    }
    if (holdingRows == 0)
        return false;
    return !(found.freelistDamaged && found.neverUsed.size() <= freePages);
}

} // namespace

std::optional<DamageVerdict> judgeDamage(const SqliteShell &shell, const QString &folder)
{
    const SqliteShell::Output checked =
        shell.query(folder, shellSettings() + "PRAGMA quick_check(" +
                                QByteArray::number(kMaxFindings) + ");\n");
    if (checked.status != 0)
        return std::nullopt;
    const Findings found = readQuickCheck(checked.text);
    DamageVerdict verdict;
    verdict.findings = found.lines.join(u'\n');
    if (found.lines.isEmpty())
        return verdict;
    const bool lost = found.unplaced ||
                      (!found.pagesInTrees.isEmpty() &&
                       !damagedTreesAreIndexes(shell, folder, found.pagesInTrees)) ||
                      (!found.neverUsed.isEmpty() && orphansHoldRows(shell, folder, found));
    verdict.kind = lost ? DamageVerdict::Kind::RowsLost : DamageVerdict::Kind::Repairable;
    return verdict;
}

} // namespace quillbox
