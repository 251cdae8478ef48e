#pragma once

#include "app/core/sqlite/SqliteShell.h"
#include "app/core/sqlite/TextIndexes.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace quillbox
{

// What a repair learns from the damaged database before anything is
// deleted.
struct Census {
    QByteArray digestScript; // SQL that digests every table, made from the damaged schema
    // Rows of tables without a rowid holding a text value with a NUL
    // character, which the dump cuts short and the rebuild cannot set again.
    qint64 rowsWithNulText = 0;
    QStringList tables; // the names of its ordinary tables
    // The rows of each table of the library's own (SQLite's and a virtual
    // table's own tables left out), by name.
    QList<QPair<QString, qint64>> rows;
    // Statements that set the REAL values a dump cannot write exactly (-0.0,
    // the subnormal numbers, any whose text does not read back) to their
    // exact bits, to run after the rebuild.
    QByteArray exactReals;
    // Statements that set the text values holding a NUL character (in
    // tables with a rowid) to their exact bytes, to run after the rebuild.
    QByteArray exactText;
    // Statements that build the damaged full-text indexes anew, to run
    // after the values are exact.
    QByteArray textIndexes;
};

// Reads every table of the database that `queries` read once: the rows holding a
// text value with a NUL character (which a dump would cut short) and the
// REAL values a dump cannot write exactly; makes the digest script. The
// derived tables of `derived` are left out. nullopt
// when a table cannot be read to its end, or `queries` saw trouble. Here and
// below, the shell is set up with onlyRead(), as every reader of a library's
// database is.
[[nodiscard]] std::optional<Census> takeCensus(QuerySeries &queries,
                                               const DerivedRows &derived = {});

// How many processes share a long read.
enum class Cores { One, Two };

// How a digest of every table ended.
struct Digests {
    // One line per table and part; nullopt when a table cannot be read to
    // its end, or a shell failed.
    std::optional<QByteArray> text;
    // How a shell that could not start, was stopped or was killed ended.
    std::optional<SqliteShell::Ending> troubled = {};
};

// The digest of every table's rows in the database `shell` opens in
// `folder`, one line per table and part (part 0 hashes the rows up to the
// middle of the table's rowids, part 1 those above it): the same rowids, the
// same values of the same types (REAL to the bit, text to the byte) give the
// same text, whether read on one core or two.
[[nodiscard]] Digests digestTables(const SqliteShell &shell, const QString &folder,
                                   const Census &census, Cores cores);

} // namespace quillbox
