#include "app/core/sqlite/TextIndexes.h"

#include "app/core/sqlite/DamageVerdict.h"
#include "app/core/sqlite/ShellPreamble.h"

namespace quillbox
{

DerivedRows derivedRowsOf(const DamageVerdict &verdict)
{
    DerivedRows rows;
    for (const DamageVerdict::Tree &tree : verdict.trees) {
        if (tree.role == DamageVerdict::Tree::Role::TextIndex)
            rows.indexes.append(tree.name);
    }
    rows.tables = verdict.derivedTables;
    return rows;
}

QByteArray skippedTables(const DerivedRows &rows)
{
    QByteArray sql = "CREATE TEMP TABLE quillbox_derived(name TEXT PRIMARY KEY);\n";
    for (const QString &table : rows.tables)
        sql += "INSERT INTO temp.quillbox_derived VALUES (" + sqlString(table) + ");\n";
    return sql;
}

QByteArray rebuildStatements(const DerivedRows &rows)
{
    if (rows.isEmpty())
        return {};
    // The dump put the full-text tables back by writing their schema rows,
    // which the connection reads again only when told to.
    QByteArray sql = "PRAGMA writable_schema=RESET;\n";
    for (const QString &index : rows.indexes) {
        // FTS5 reads its structure record (id 10 of its _data table) before
        // anything else, the rebuild too: an empty one lets it start.
        if (rows.tables.contains(index + u"_data"_qs))
            sql += "INSERT OR REPLACE INTO " + sqlName(index + u"_data"_qs) +
                   "(id, block) VALUES (10, x'00000000000000');\n";
        const QByteArray table = sqlName(index);
        sql += "INSERT INTO " + table + '(' + table + ") VALUES ('rebuild');\n";
        sql += "INSERT INTO " + table + '(' + table + ") VALUES ('integrity-check');\n";
    }
    return sql;
}

} // namespace quillbox
