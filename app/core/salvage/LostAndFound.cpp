#include "app/core/salvage/LostAndFound.h"

#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TableShapes.h"

#include <QHash>

#include <algorithm>
#include <tuple>

namespace quillbox
{
namespace
{

// The first lost_and_found column of a row's values.
constexpr int kFirstValue = 4;

// One kind of row in lost_and_found: how many values it has, and the type
// of each.
struct RowKind {
    int values = 0;
    QStringList types;
};

// The kinds of rows with an id in lost_and_found, which has `columns` value
// columns (c0, c1, …); a row with fewer values has NULL in the rest.
QList<RowKind> rowKinds(QuerySeries &queries, const QByteArray &laf, int columns)
{
    QByteArray types = "''";
    for (int i = 0; i < columns; ++i)
        types += " || typeof(c" + QByteArray::number(i) + ") || ','";
    const SqliteShell::Output listed =
        queries.query(shellPreamble() + "SELECT DISTINCT nfield, " + types + " FROM " + laf +
                      " WHERE id IS NOT NULL;\n");
    QList<RowKind> kinds;
    for (const QByteArray &line : listed.text.split('\n')) {
        const QByteArrayList fields = line.split('|');
        const int values = fields.value(0).toInt();
        const QStringList types = QString::fromUtf8(fields.value(1)).split(u',');
        if (fields.size() == 2 && values > 0 && values < types.size())
            kinds.append({values, types.mid(0, values)});
    }
    return kinds;
}

bool fitsTable(const TableShape &table, const RowKind &kind)
{
    if (table.storedValues() != kind.values)
        return false;
    int value = 0;
    for (const ColumnShape &column : table.columns) {
        if (column.generated != ColumnShape::Generated::WhenRead &&
            !fits(column, kind.types.at(value++)))
            return false;
    }
    return true;
}

bool takesRows(const TableShape &table)
{
    return table.kind == TableShape::Kind::Ordinary && !table.rowidName().isEmpty() &&
           std::none_of(table.columns.begin(), table.columns.end(), [](const auto &column) {
               return column.generated != ColumnShape::Generated::No;
           });
}

// Picks the rows of `kind` for table number `table`.
QByteArray pick(const QByteArray &laf, const RowKind &kind, qsizetype table)
{
    QByteArray sql = "INSERT INTO temp.quillbox_place SELECT rowid, " + QByteArray::number(table) +
                     ", id FROM " + laf +
                     " WHERE id IS NOT NULL AND nfield = " + QByteArray::number(kind.values);
    for (int i = 0; i < kind.values; ++i)
        sql += " AND typeof(c" + QByteArray::number(i) + ") = " + sqlString(kind.types.at(i));
    return sql + ";\n";
}

// Moves the picked rows of table number `number` into it, and takes out of
// lost_and_found every picked row the table now holds as it is there.
QByteArray move(const QByteArray &laf, const TableShape &table, qsizetype number)
{
    const QByteArray name = "main." + sqlName(table.name);
    const QByteArray rowid = table.rowidName();
    QByteArray columns = rowid;
    QByteArray values = "l.id";
    QByteArray same;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].rowidAlias)
            continue;
        const QByteArray value = "l.c" + QByteArray::number(i);
        columns += ", " + sqlName(table.columns[i].name);
        values += ", " + value;
        same += " AND r." + sqlName(table.columns[i].name) + " IS " + value;
    }
    const QByteArray picked = " FROM " + laf +
                              " AS l JOIN temp.quillbox_place AS p "
                              "ON p.lrow = l.rowid AND p.t = " +
                              QByteArray::number(number);
    return "INSERT OR IGNORE INTO " + name + "(" + columns + ") SELECT " + values + picked +
           " WHERE NOT EXISTS (SELECT 1 FROM " + name + " AS r WHERE r." + rowid +
           " = l.id) ORDER BY l.id;\n"
           "DELETE FROM " +
           laf + " WHERE rowid IN (SELECT l.rowid" + picked + " JOIN " + name + " AS r ON r." +
           rowid + " = l.id" + same + ");\n";
}

// Takes out of lost_and_found each row that is an entry of an index of
// table number `number` for a row the table holds: the index's key values,
// then the row's id. Such a row comes from an index page no b-tree reached,
// and everything in it is in the table.
// Rows of a table without rowid have no id either: where one could be
// such a row, as many values long, it stays.
QByteArray dropIndexEntries(const QByteArray &laf, qsizetype valueColumns, const TableShape &table,
                            const QList<IndexShape> &indexes, const QList<int> &withoutRowid)
{
    QByteArray script;
    const QByteArray rowid = table.rowidName();
    for (const IndexShape &index : indexes) {
        if (index.columns.contains(-1) || index.columns.size() >= valueColumns ||
            withoutRowid.contains(static_cast<int>(index.columns.size()) + 1))
            continue;
        QByteArray same;
        for (qsizetype i = 0; i < index.columns.size(); ++i)
            same += " AND r." + sqlName(table.columns.at(index.columns[i]).name) + " IS l.c" +
                    QByteArray::number(i);
        const QByteArray key = QByteArray::number(index.columns.size());
        script += "DELETE FROM " + laf + " AS l WHERE l.id IS NULL AND l.nfield = " + key +
                  " + 1 AND EXISTS (SELECT 1 FROM main." + sqlName(table.name) + " AS r WHERE r." +
                  rowid + " IS l.c" + key + same + ");\n";
    }
    return script;
}

} // namespace

QString lostAndFoundName(const QStringList &tables)
{
    const auto taken = [&](const QString &name) {
        return tables.contains(name, Qt::CaseInsensitive);
    };
    QString name = QStringLiteral("lost_and_found");
    for (int i = 0; taken(name); ++i)
        name = QStringLiteral("lost_and_found_%1").arg(i);
    return name;
}

qint64 placeLostRows(const SqliteShell &shell, const QString &folder, const QString &lostAndFound)
{
    QuerySeries queries(shell, folder);
    std::optional<QList<TableShape>> tables = readTableShapes(queries);
    if (!tables)
        return -1;
    const auto found = std::find_if(tables->begin(), tables->end(),
                                    [&](const auto &table) { return table.name == lostAndFound; });
    // The recovery's table starts with these columns; a table of the
    // library's own is never emptied into others.
    const QStringList head{u"rootpgno"_qs, u"pgno"_qs, u"nfield"_qs, u"id"_qs};
    if (found == tables->end() || found->columns.size() <= kFirstValue ||
        !std::equal(head.begin(), head.end(), found->columns.begin(),
                    [](const QString &a, const ColumnShape &b) { return a == b.name; }))
        return 0;
    const qsizetype valueColumns = found->columns.size() - kFirstValue;
    tables->erase(found);
    const QByteArray laf = "main." + sqlName(lostAndFound);
    QByteArray script = "BEGIN;\nCREATE TEMP TABLE quillbox_place(lrow INTEGER PRIMARY KEY, "
                        "t INTEGER, id INTEGER);\n";
    const QHash<qsizetype, QList<IndexShape>> indexes = readIndexes(queries, *tables);
    QList<int> withoutRowid;
    for (const TableShape &table : *tables) {
        if (table.withoutRowid)
            withoutRowid.append(table.storedValues());
    }
    for (qsizetype i = 0; i < tables->size(); ++i) {
        if (takesRows(tables->at(i)))
            script +=
                dropIndexEntries(laf, valueColumns, tables->at(i), indexes.value(i), withoutRowid);
    }
    QList<qsizetype> targets;
    for (const RowKind &kind : rowKinds(queries, laf, static_cast<int>(valueColumns))) {
        QList<qsizetype> fitting;
        for (qsizetype i = 0; i < tables->size(); ++i) {
            if (fitsTable(tables->at(i), kind))
                fitting.append(i);
        }
        if (fitting.size() != 1 || !takesRows(tables->at(fitting.first())))
            continue;
        script += pick(laf, kind, fitting.first());
        if (!targets.contains(fitting.first()))
            targets.append(fitting.first());
    }
    // Two rows with one id for one table: which is the table's is unknown.
    script += "DELETE FROM temp.quillbox_place WHERE (t, id) IN (SELECT t, id FROM "
              "temp.quillbox_place GROUP BY t, id HAVING count(*) > 1);\n";
    for (const qsizetype target : targets)
        script += move(laf, tables->at(target), target);
    script += "COMMIT;\nSELECT count(*) FROM " + laf + ";\n";
    // Triggers stay off: the rows come back as they were, and nothing else
    // changes with them.
    const SqliteShell placing =
        shell.withSetup({".output /dev/null", ".dbconfig enable_trigger off", ".output stdout"});
    const SqliteShell::Output placed = placing.query(folder, shellPreamble() + script);
    if (placed.status != 0)
        return -1;
    const qint64 left = placed.text.trimmed().toLongLong();
    if (left == 0)
        std::ignore = shell.run(folder, {shellPreamble() + "DROP TABLE " + laf + ";\n"});
    return left;
}

} // namespace quillbox
