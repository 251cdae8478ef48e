#include "app/core/sqlite/TableShapes.h"

#include "app/core/sqlite/ShellPreamble.h"
#include "app/core/sqlite/SqliteShell.h"

#include <QHash>

#include <algorithm>

namespace quillbox
{

Affinity affinityOf(const QString &declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(u"INT"))
        return Affinity::Integer;
    if (type.contains(u"CHAR") || type.contains(u"CLOB") || type.contains(u"TEXT"))
        return Affinity::Text;
    if (type.contains(u"BLOB") || type.isEmpty())
        return Affinity::Blob;
    if (type.contains(u"REAL") || type.contains(u"FLOA") || type.contains(u"DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

bool fits(const ColumnShape &column, QStringView type)
{
    if (column.rowidAlias) // the recovery gives its value as the row's id instead
        return type == u"null";
    if (type == u"null")
        return !column.notNull;
    if (!column.strictType.isEmpty()) {
        const QString &strict = column.strictType;
        // A REAL column of a STRICT table stores a whole number as an integer.
        return strict == u"ANY" || (strict == u"BLOB" && type == u"blob") ||
               (strict == u"TEXT" && type == u"text") ||
               ((strict == u"INT" || strict == u"INTEGER") && type == u"integer") ||
               (strict == u"REAL" && (type == u"real" || type == u"integer"));
    }
    switch (column.affinity) {
    case Affinity::Blob:
        return true;
    case Affinity::Text:
        return type == u"text" || type == u"blob";
    case Affinity::Integer:
    case Affinity::Real:
    case Affinity::Numeric:
        return type != u"text";
    }
    return false;
}

QByteArray TableShape::rowidName() const
{
    if (withoutRowid)
        return {};
    for (const ColumnShape &column : columns) {
        if (column.rowidAlias)
            return sqlName(column.name);
    }
    for (const QString &name : {u"rowid"_qs, u"_rowid_"_qs, u"oid"_qs}) {
        if (std::none_of(columns.begin(), columns.end(), [&](const ColumnShape &column) {
                return column.name.compare(name, Qt::CaseInsensitive) == 0;
            }))
            return name.toUtf8();
    }
    return {};
}

int TableShape::storedValues() const
{
    return static_cast<int>(std::count_if(columns.begin(), columns.end(), [](const auto &column) {
        return column.generated != ColumnShape::Generated::WhenRead;
    }));
}

std::optional<QList<TableShape>> readTableShapes(QuerySeries &queries)
{
    const SqliteShell::Output listed = queries.query(
        shellPreamble() +
        "SELECT l.type, l.wr, l.strict, x.\"notnull\", x.pk, x.hidden, "
        "(SELECT count(*) FROM pragma_table_info(l.name) WHERE pk > 0), "
        "json_array(l.name, x.name, x.type) "
        "FROM pragma_table_list AS l JOIN pragma_table_xinfo(l.name) AS x "
        "WHERE l.schema = 'main' AND l.type IN ('table', 'shadow') "
        "AND l.name NOT IN ('sqlite_schema', 'sqlite_master') ORDER BY l.name, x.cid;\n");
    if (listed.status != 0)
        return std::nullopt;
    QList<TableShape> tables;
    for (const QByteArray &text : listed.text.split('\n')) {
        const std::optional<ShellLine> line = splitShellLine(text, 7);
        if (!line || line->texts.size() != 3)
            continue;
        const QByteArrayList &f = line->fields;
        const QString &name = line->texts[0];
        if (tables.isEmpty() || tables.last().name != name) {
            TableShape table;
            table.name = name;
            table.kind = f[0] == "shadow" ? TableShape::Kind::Shadow
                         : name.startsWith(u"sqlite_", Qt::CaseInsensitive)
                             ? TableShape::Kind::Internal
                             : TableShape::Kind::Ordinary;
            table.withoutRowid = f[1] == "1";
            tables.append(table);
        }
        ColumnShape column;
        column.name = line->texts[1];
        const QString type = line->texts[2].toUpper();
        column.affinity = affinityOf(type);
        if (f[2] == "1")
            column.strictType = type;
        column.notNull = f[3] == "1";
        // Only a lone primary-key column declared exactly INTEGER is the rowid.
        column.rowidAlias =
            !tables.last().withoutRowid && f[4] == "1" && f[6] == "1" && type == u"INTEGER";
        column.generated = f[5] == "2"   ? ColumnShape::Generated::WhenRead
                           : f[5] == "3" ? ColumnShape::Generated::Stored
                                         : ColumnShape::Generated::No;
        tables.last().columns.append(column);
    }
    return tables;
}

QHash<qsizetype, QList<IndexShape>> readIndexes(QuerySeries &queries,
                                                const QList<TableShape> &tables)
{
    const SqliteShell::Output listed = queries.query(
        shellPreamble() +
        "SELECT x.cid, json_array(l.name, i.name) FROM pragma_table_list AS l "
        "JOIN pragma_index_list(l.name) AS i JOIN pragma_index_xinfo(i.name) AS x "
        "WHERE l.schema = 'main' AND l.type = 'table' AND i.partial = 0 AND x.key = 1 "
        "ORDER BY l.name, i.name, x.seqno;\n");
    QHash<QString, qsizetype> numbers;
    for (qsizetype i = 0; i < tables.size(); ++i)
        numbers.insert(tables[i].name, i);
    QHash<qsizetype, QList<IndexShape>> indexes;
    for (const QByteArray &text : listed.text.split('\n')) {
        const std::optional<ShellLine> line = splitShellLine(text, 1);
        if (!line || line->texts.size() != 2)
            continue;
        const auto table = numbers.constFind(line->texts[0]);
        if (table == numbers.constEnd())
            continue;
        QList<IndexShape> &ofTable = indexes[*table];
        if (ofTable.isEmpty() || ofTable.last().name != line->texts[1])
            ofTable.append({line->texts[1], {}});
        // An expression (-2), or a column this list of columns lacks, is no column.
        const int column = line->fields[0].toInt();
        ofTable.last().columns.append(column >= 0 && column < tables[*table].columns.size() ? column
                                                                                            : -1);
    }
    return indexes;
}

} // namespace quillbox
