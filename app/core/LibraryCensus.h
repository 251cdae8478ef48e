#pragma once

#include <QByteArray>

#include <optional>

namespace quillbox
{

class SqliteShell;

// What a repair must find again in the rebuilt database: the digest of every
// ordinary table's rows, each read through the table's own b-tree in the
// damaged database.
struct Census {
    QByteArray digestScript;    // SQL that digests every table, made from the damaged schema
    QByteArray digests;         // what it gives there: one line per table
    qint64 rowsWithNulText = 0; // rows holding a text value with a NUL character
    // Statements that set the REAL values a dump cannot write exactly (-0.0
    // and the subnormal numbers) to their exact bits, to run after the rebuild.
    QByteArray exactReals;
};

// Digests the rows of every table of Library.sqlite in `folder`, and counts
// the rows holding a text value with a NUL character (which a dump would cut
// short). nullopt when a table cannot be read to its end.
[[nodiscard]] std::optional<Census> takeCensus(const SqliteShell &shell, const QString &folder);

// True when Library.sqlite in `folder` passes its integrity check and every
// table holds exactly the rows `census` digested: the same rowids, the same
// values of the same types (REAL to the bit, text to the byte).
[[nodiscard]] bool matchesCensus(const SqliteShell &shell, const QString &folder,
                                 const Census &census);

} // namespace quillbox
