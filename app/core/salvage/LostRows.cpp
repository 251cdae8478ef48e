#include "app/core/salvage/LostRows.h"

#include "app/core/library/LibraryFolder.h"
#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TableShapes.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <optional>

namespace quillbox
{
namespace
{

const QString kHeld = QStringLiteral(".quillbox-held.sql");

// What the recovered database is to compare: each id, and each column
// value, that the damaged tables and their indexes hold, as rows of the
// temporary table quillbox_held(t, c, id, value), t the table's number and
// c the column's (-1: the id alone). Each scan reads one b-tree only (a
// covering index, or the table itself), and one that meets damage gives
// what it read before it.
QByteArray heldScript(const QList<TableShape> &tables,
                      const QHash<qsizetype, QList<IndexShape>> &indexes)
{
    QByteArray script = shellPreamble() + ".bail off\n.mode insert quillbox_held\n";
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const QByteArray name = "main." + sqlName(tables[t].name);
        const QByteArray head = "SELECT " + QByteArray::number(t) + ", ";
        const QByteArray rowid = tables[t].rowidName();
        script += head + "-1, " + rowid + ", NULL FROM " + name + " NOT INDEXED;\n";
        for (const IndexShape &index : indexes.value(t)) {
            const QByteArray from = " FROM " + name + " INDEXED BY " + sqlName(index.name) + ";\n";
            script += head + "-1, " + rowid + ", NULL" + from;
            for (const int column : index.columns) {
                if (column >= 0 && !tables[t].columns.at(column).rowidAlias)
                    script += head + QByteArray::number(column) + ", " + rowid + ", " +
                              sqlName(tables[t].columns.at(column).name) + from;
            }
        }
    }
    return script;
}

// Which held rows the recovered database lacks, table by table: "t|id|c|[v]"
// lines, v the value as JSON (a BLOB as the text x'…').
QByteArray lackingScript(const QList<TableShape> &tables, const QList<TableShape> &recovered)
{
    QByteArray script;
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const bool kept = std::any_of(recovered.begin(), recovered.end(), [&](const auto &table) {
            return table.name == tables[t].name && table.rowidName() == tables[t].rowidName();
        });
        if (!kept)
            continue;
        script += "SELECT h.t, h.id, h.c, json_array(CASE typeof(h.value) WHEN 'blob' THEN "
                  "'x''' || hex(h.value) || '''' ELSE h.value END) FROM temp.quillbox_held AS h "
                  "WHERE h.t = " +
                  QByteArray::number(t) + " AND NOT EXISTS (SELECT 1 FROM main." +
                  sqlName(tables[t].name) + " AS r WHERE r." + tables[t].rowidName() +
                  " = h.id) GROUP BY h.id, h.c ORDER BY h.id, h.c;\n";
    }
    return script;
}

KnownValue known(const TableShape &table, int column, const QByteArray &json)
{
    KnownValue value;
    value.column = table.columns.value(column).name;
    const QJsonValue parsed = QJsonDocument::fromJson(json).array().at(0);
    value.isText = parsed.isString() && !json.startsWith("[\"x'");
    // Numbers keep SQLite's digits, which a double may not hold.
    value.value = parsed.isString() ? parsed.toString()
                  : parsed.isNull() ? u"NULL"_qs
                                    : QString::fromUtf8(json.mid(1, json.size() - 2));
    return value;
}

QList<LostRows> readLacking(const QByteArray &text, const QList<TableShape> &tables)
{
    QList<LostRows> lost;
    qsizetype lastTable = -1;
    std::optional<qint64> lastId;
    for (const QByteArray &line : text.split('\n')) {
        // Only the JSON may hold a '|'.
        const QByteArrayList f = line.split('|');
        const qsizetype t = f.value(0).toLongLong();
        if (f.size() < 4 || t < 0 || t >= tables.size())
            continue;
        const qint64 id = f[1].toLongLong();
        const int column = f[2].toInt();
        if (t != lastTable)
            lost.append({tables[t].name, {}, 0});
        LostRows &rows = lost.last();
        const bool newRow = t != lastTable || lastId != id;
        lastTable = t;
        lastId = id;
        if (newRow && rows.rows.size() == kMaxListedRows)
            rows.unlisted += 1;
        if (rows.unlisted > 0)
            continue;
        if (newRow)
            rows.rows.append(LostRow{id, {}});
        if (column >= 0)
            rows.rows.last().known.append(
                known(tables[t], column, line.mid(f[0].size() + f[1].size() + f[2].size() + 3)));
    }
    return lost;
}

} // namespace

QList<LostRows> findLostRows(const SqliteShell &damaged, const SqliteShell &recovered,
                             const QString &folder)
{
    QuerySeries damagedQueries(damaged, folder);
    QuerySeries recoveredQueries(recovered, folder);
    std::optional<QList<TableShape>> tables = readTableShapes(damagedQueries);
    const std::optional<QList<TableShape>> kept = readTableShapes(recoveredQueries);
    if (!tables || !kept)
        return {};
    tables->removeIf([](const TableShape &table) {
        return table.kind != TableShape::Kind::Ordinary || table.rowidName().isEmpty();
    });
    const QString held = inFolder(folder, kHeld);
    const SqliteShell::FileRun read =
        damaged.runToFile(folder, heldScript(*tables, readIndexes(damagedQueries, *tables)), held);
    QList<LostRows> lost;
    // A scan that met damage ends the shell with an error, but what it read
    // before is whole; only a shell that was stopped or could not write
    // leaves it in doubt.
    if (!read.troubled() && read.writeError == 0) {
        const SqliteShell::Output lacking = recovered.query(
            folder,
            {shellPreamble() + "CREATE TEMP TABLE quillbox_held(t, c, id, value);\nBEGIN;\n", held,
             "COMMIT;\n" + lackingScript(*tables, *kept)});
        if (lacking.status == 0)
            lost = readLacking(lacking.text, *tables);
    }
    QFile::remove(held);
    return lost;
}

} // namespace quillbox
