#pragma once

#include <QByteArray>

#include <optional>

namespace quillbox
{

class SqliteShell;

// What a repair must find again in the rebuilt database: the row count of
// every ordinary table, each counted by a full scan of the damaged database.
struct Census {
    QByteArray countScript;     // SQL that counts every table, made from the damaged schema
    QByteArray counts;          // what it gives there: one line per table
    qint64 rowsWithNulText = 0; // rows holding a text value with a NUL character
};

// Counts the rows of every table of Library.sqlite in `folder`, and the rows
// holding a text value with a NUL character (which a dump would cut short). nullopt
// when a table cannot be read to its end.
[[nodiscard]] std::optional<Census> takeCensus(const SqliteShell &shell, const QString &folder);

// True when Library.sqlite in `folder` passes its integrity check and every
// table holds as many rows as `census` counted.
[[nodiscard]] bool matchesCensus(const SqliteShell &shell, const QString &folder,
                                 const Census &census);

} // namespace quillbox
