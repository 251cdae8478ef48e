#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// SQLite's check of single tables, beside its check of a whole database:
// the full-text tables, whose own check stops a whole check at the first
// index it cannot read, and the tables a check that stopped early left
// unread.
namespace quillbox
{

class QuerySeries;

// The full-text tables (FTS3, FTS4, FTS5) of the database that `queries`
// read, and the tables each keeps its index in.
struct FullTextTables {
    QStringList tables; // every full-text table, contentless ones too
    // Each table of derived rows, by name, with the full-text table it
    // belongs to: FTS5's postings (_data, _idx) and sizes (_docsize), FTS3's
    // and FTS4's segments (_segments, _segdir), sizes and statistics
    // (_docsize, _stat). A contentless table (content='') keeps no text to
    // build its index from, so its tables are not listed: their rows are data.
    QHash<QString, QString> derivedOwners;
};

// SQLite calls a table a shadow table when its name is a virtual table's
// and a suffix that the table's module claims; only the full-text modules
// claim these suffixes. Their text (_content) and settings (_config) are
// not derived. nullopt when the schema cannot be read.
[[nodiscard]] std::optional<FullTextTables> findFullTextTables(QuerySeries &queries);

// The names of the database's ordinary tables (virtual tables left out);
// nullopt when the schema cannot be read.
[[nodiscard]] std::optional<QStringList> ordinaryTables(QuerySeries &queries);

// Runs SQLite's quick check of each of `tables` alone (its b-trees, its
// indexes and its rows; a full-text table's index against its text), in one
// shell that goes on past a check that fails. What each check found, by
// table; a check that stopped says so. Tables found sound are left out.
// nullopt when the shell could not run.
[[nodiscard]] std::optional<QHash<QString, QStringList>> checkEachAlone(QuerySeries &queries,
                                                                        const QStringList &tables);

} // namespace quillbox
