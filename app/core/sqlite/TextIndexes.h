#pragma once

#include <QByteArray>
#include <QStringList>

// Full-text indexes (FTS3, FTS4, FTS5) whose own tables are damaged. Such an
// index is derived data, as a b-tree index is: its module builds it anew
// from the text it indexes. The rows of its derived tables are then neither
// dumped nor compared; the index is built after the rebuild.
namespace quillbox
{

struct DamageVerdict;

struct DerivedRows {
    QStringList indexes; // the full-text tables to build anew
    QStringList tables;  // their derived tables, whose rows are not read
    [[nodiscard]] bool isEmpty() const { return indexes.isEmpty(); }
};

// The full-text indexes the verdict found damaged, and their derived tables.
[[nodiscard]] DerivedRows derivedRowsOf(const DamageVerdict &verdict);

// SQL that makes the table temp.quillbox_derived and lists `rows.tables`
// in it, for the shell to leave out; the scripts that read it need it even
// when it is empty. Our shell's
// dump writes such a table's schema entry but none of its rows, and the
// census's scripts pass over it.
[[nodiscard]] QByteArray skippedTables(const DerivedRows &rows);

// Statements that build each of `rows.indexes` anew from its content in
// the rebuilt database, then have the index check itself; the shell stops
// at the first that fails (a contentless table, a tokenizer our shell does
// not have). Empty when there are none.
[[nodiscard]] QByteArray rebuildStatements(const DerivedRows &rows);

} // namespace quillbox
