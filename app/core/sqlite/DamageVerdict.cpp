#include "app/core/sqlite/DamageVerdict.h"

#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TableChecks.h"

#include <QHash>
#include <QRegularExpression>
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

// A line of the check that names a page inside some b-tree.
struct TreeLine {
    qint64 page = 0;
    qint64 root = 0; // the root of the b-tree the check was walking; 0 when not named
    QString text;
};

struct Findings {
    QList<TreeLine> inTrees; // problems inside some b-tree
    QList<qint64> neverUsed; // pages no b-tree reaches
    QStringList miscountedIndexes;
    bool freelistDamaged = false;
    QStringList unplaced; // lines that name no page
    QStringList lines;
};

Findings readQuickCheck(const QByteArray &output)
{
    static const QRegularExpression neverUsed(QStringLiteral("^Page (\\d+): never used$"));
    static const QRegularExpression page(QStringLiteral("[Pp]age (\\d+)"));
    static const QRegularExpression tree(QStringLiteral("^Tree (\\d+) "));
    // An index that holds more or fewer entries than its table has rows: the
    // table's rows are counted by a walk of its own b-tree, whose damage
    // shows on lines of its own, so this is the index's alone.
    static const QRegularExpression indexCount(
        QStringLiteral("^wrong # of entries in index (.+)$"));
    Findings found;
    for (const QString &line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts)) {
        if (line == u"ok" || line.startsWith(u"*** in database"))
            continue;
        found.lines.append(line);
        if (const auto match = neverUsed.match(line); match.hasMatch())
            found.neverUsed.append(match.captured(1).toLongLong());
        else if (const auto count = indexCount.match(line); count.hasMatch())
            found.miscountedIndexes.append(count.captured(1));
        else if (line.contains(u"freelist", Qt::CaseInsensitive))
            found.freelistDamaged = true;
        else if (const auto inTree = page.match(line); inTree.hasMatch())
            found.inTrees.append(
                {inTree.captured(1).toLongLong(), tree.match(line).captured(1).toLongLong(), line});
        else
            found.unplaced.append(line);
    }
    return found;
}

// Rows keyed by a page number: a schema entry's name, and one more field.
using Named = QHash<qint64, QPair<QString, QByteArray>>;

QByteArray numberList(const QList<qint64> &numbers)
{
    QByteArrayList texts;
    for (const qint64 number : numbers)
        texts.append(QByteArray::number(number));
    return texts.join(',');
}

// Runs `query`, whose rows are a number and a name in hex (a name may hold
// any character, a line break or "|" too); number -> (name, second field)
// for each row, or nullopt when the query fails.
std::optional<Named> namedRows(QuerySeries &queries, const QByteArray &query)
{
    const SqliteShell::Output rows = queries.query(shellPreamble() + query);
    if (rows.status != 0)
        return std::nullopt;
    Named named;
    for (const QByteArray &line : rows.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        if (fields.size() == 3)
            named.insert(fields[0].toLongLong(),
                         {QString::fromUtf8(QByteArray::fromHex(fields[1])), fields[2]});
    }
    return named;
}

// The index b-tree each of `pages` lies in, by page; pages found in none
// are left out. Only the indexes' b-trees are walked, one by one by name: a
// page not found in them belongs to a table, or to nothing. nullopt when
// the walk fails.
std::optional<Named> pagesInIndexes(QuerySeries &queries, const QList<TreeLine> &lines)
{
    QList<qint64> pages;
    for (const TreeLine &line : lines)
        pages.append(line.page);
    return namedRows(queries, "SELECT d.pageno, hex(s.name), 'index' FROM sqlite_schema AS s "
                              "JOIN dbstat AS d ON d.name = s.name WHERE s.type = 'index' AND "
                              "d.pageno IN (" +
                                  numberList(pages) + ");\n");
}

// Places each line of `found` inside a b-tree: in the index that dbstat
// finds its page in, else in the table whose root the line names, which
// may hold a full-text index's derived rows (`owners`). A line placed in
// none (its page outside every index, and its tree no table) is unplaced.
// True when every page lies in an index or a full-text index: no table's
// rows are damaged, as far as the b-trees go.
bool placeTrees(QuerySeries &queries, const Findings &found, const QHash<QString, QString> &owners,
                DamageVerdict &verdict)
{
    const auto inIndexes = pagesInIndexes(queries, found.inTrees);
    QList<qint64> roots;
    for (const TreeLine &line : found.inTrees) {
        if (!inIndexes || !inIndexes->contains(line.page))
            roots.append(line.root);
    }
    auto tables = roots.isEmpty()
                      ? Named()
                      : namedRows(queries, "SELECT rootpage, hex(name), type FROM sqlite_schema "
                                           "WHERE rootpage IN (" +
                                               numberList(roots) + ");\n")
                            .value_or(Named());
    tables.insert(1, {QStringLiteral("sqlite_schema"), "table"}); // the schema's own table
    bool allIndexes = inIndexes.has_value();
    for (const TreeLine &line : found.inTrees) {
        DamageVerdict::Tree tree;
        const QString table = tables.value(line.root).first;
        if (inIndexes && inIndexes->contains(line.page)) {
            tree = {inIndexes->value(line.page).first, DamageVerdict::Tree::Role::Index};
        } else if (tables.value(line.root).second == "table" && owners.contains(table)) {
            tree = {owners.value(table), DamageVerdict::Tree::Role::TextIndex};
        } else {
            allIndexes = false;
            if (tables.value(line.root).second != "table") {
                verdict.unplaced.append(line.text);
                continue;
            }
            tree = {table, DamageVerdict::Tree::Role::Table};
        }
        if (!verdict.trees.contains(tree))
            verdict.trees.append(tree);
    }
    return allIndexes;
}

// Whether a page that no b-tree reaches holds table rows; pages on a
// damaged freelist may be old free pages, as many as the header counts.
bool orphansHoldRows(QuerySeries &queries, const Findings &found)
{
    const SqliteShell::Output headers =
        queries.query(shellPreamble() +
                      "SELECT pgno, hex(substr(data, CASE pgno WHEN 1 THEN 101 ELSE 1 END, 5)), "
                      "(SELECT hex(substr(data, 37, 4)) FROM sqlite_dbpage WHERE pgno = 1) "
                      "FROM sqlite_dbpage WHERE pgno IN (" +
                      numberList(found.neverUsed) + ");\n");
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

// Checks each full-text table alone: one whose check finds its index
// malformed, or cannot read it, is damaged. It is built anew from its text
// when it keeps one, else its rows are lost. Its lines join `lines`.
void checkTextIndexes(QuerySeries &queries, const FullTextTables &fullText, DamageVerdict &verdict,
                      QStringList &lines)
{
    const auto problems = checkEachAlone(queries, fullText.tables);
    if (!problems) {
        verdict.unplaced.append(u"The full-text indexes could not be checked."_qs);
        return;
    }
    const QList<QString> rebuildable = fullText.derivedOwners.values();
    for (const QString &table : fullText.tables) {
        if (!problems->contains(table))
            continue;
        const DamageVerdict::Tree tree{table, DamageVerdict::Tree::Role::TextIndex};
        lines.append(problems->value(table));
        if (!rebuildable.contains(table))
            verdict.unplaced.append(problems->value(table));
        else if (!verdict.trees.contains(tree))
            verdict.trees.append(tree);
    }
}

// Whether a check that stopped early stopped at the derived rows of a
// damaged full-text index: every other table, checked alone, is sound.
bool stoppedAtDerivedRows(QuerySeries &queries, const DamageVerdict &verdict)
{
    const std::optional<QStringList> tables = ordinaryTables(queries);
    if (!tables)
        return false;
    QStringList others;
    for (const QString &table : *tables) {
        if (!verdict.derivedTables.contains(table))
            others.append(table);
    }
    const auto problems = checkEachAlone(queries, others);
    return problems && problems->isEmpty();
}

// The derived tables of each damaged full-text index.
QStringList derivedTablesOf(const DamageVerdict &verdict, const FullTextTables &fullText)
{
    QStringList tables;
    for (auto owner = fullText.derivedOwners.cbegin(); owner != fullText.derivedOwners.cend();
         ++owner) {
        if (verdict.trees.contains({owner.value(), DamageVerdict::Tree::Role::TextIndex}))
            tables.append(owner.key());
    }
    tables.sort();
    return tables;
}

} // namespace

std::optional<DamageVerdict> judgeDamage(QuerySeries &queries)
{
    // The whole check leaves the full-text tables out, whose own checks
    // would stop it at the first index they cannot read (or keep it from
    // starting): each is checked alone after it.
    const SqliteShell::Output checked = queries.query(shellPreamble() + "PRAGMA quick_check(" +
                                                          QByteArray::number(kMaxFindings) + ");\n",
                                                      SqliteShell::Modules::WithoutFullText);
    const Findings found = readQuickCheck(checked.text);
    const std::optional<FullTextTables> fullText = findFullTextTables(queries);
    // The check may stop at damage it cannot read past, after naming what
    // it found so far: that much is placed, and the rest is unknown.
    if (checked.troubled() || (checked.status != 0 && found.lines.isEmpty() && !fullText))
        return std::nullopt;
    const FullTextTables text = fullText.value_or(FullTextTables{});
    DamageVerdict verdict;
    verdict.cutShort = checked.status != 0;
    verdict.unplaced = found.unplaced;
    const bool treesAreIndexes =
        found.inTrees.isEmpty() || placeTrees(queries, found, text.derivedOwners, verdict);
    for (const QString &index : found.miscountedIndexes) {
        const DamageVerdict::Tree tree{index, DamageVerdict::Tree::Role::Index};
        if (!verdict.trees.contains(tree))
            verdict.trees.append(tree);
    }
    QStringList lines = found.lines;
    checkTextIndexes(queries, text, verdict, lines);
    verdict.derivedTables = derivedTablesOf(verdict, text);
    verdict.findings = lines.join(u'\n');
    if (lines.isEmpty() && !verdict.cutShort)
        return queries.trouble() ? std::nullopt : std::optional(verdict);
    if (verdict.cutShort && treesAreIndexes && verdict.unplaced.isEmpty() &&
        !verdict.derivedTables.isEmpty() && stoppedAtDerivedRows(queries, verdict))
        verdict.cutShort = false;
    verdict.freelistDamaged = found.freelistDamaged;
    verdict.unreachedPages = found.neverUsed.size();
    verdict.unreachedRows = !found.neverUsed.isEmpty() && orphansHoldRows(queries, found);
    const bool lost = verdict.cutShort || !verdict.unplaced.isEmpty() || !treesAreIndexes ||
                      verdict.unreachedRows;
    verdict.kind = lost ? DamageVerdict::Kind::RowsLost : DamageVerdict::Kind::Repairable;
    if (queries.trouble())
        return std::nullopt;
    return verdict;
}

} // namespace quillbox
