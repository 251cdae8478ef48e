#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>

// What the program sets in the shell before it has it run SQL on a library,
// so that what the shell prints is what the program reads, and so that the
// shell does to the library only what the program means it to.
namespace quillbox
{

// Lines that go in front of the SQL: stop at the first error, wait for
// another reader's lock (several run side by side) instead of failing, and
// print plain "a|b" lines with NULL as an empty field.
[[nodiscard]] QByteArray shellPreamble();

// `text` (a name from a library, say; it holds no NUL) as an SQL string
// literal, and as an SQL identifier: quoted, every quote doubled, so it can
// neither end the statement nor start another.
[[nodiscard]] QByteArray sqlString(const QString &text);
[[nodiscard]] QByteArray sqlName(const QString &text);

// A line a query printed as "f1|…|fN|[…]": its first `fields` fields, then
// the texts of the JSON array that ends it. A library's names and other
// text go there, by json_array(): the shell prints that in UTF-8 whatever
// the database's encoding (hex() would give UTF-16 bytes in a UTF-16
// database), with every line break escaped, and a '|' in it does no harm
// at the end. nullopt when the line is not so.
struct ShellLine {
    QByteArrayList fields;
    QStringList texts; // a NULL gives an empty text
};
[[nodiscard]] std::optional<ShellLine> splitShellLine(const QByteArray &line, int fields);

// Commands for SqliteShell::withSetup(), run before the shell turns to safe
// mode, since they need what safe mode forbids (.output) to keep their own
// words out of what the shell prints.

// How a reader reads the damaged database.
enum class Reads {
    Plain,
    // Through a memory map, which takes a full read half as long as copying
    // it into the shell page by page.
    Mapped,
};

// The damaged database is only read: a reader that happens to close it
// last leaves its log as it found it.
[[nodiscard]] QByteArrayList onlyRead(Reads reads = Reads::Plain);

// A rebuild from a dump or a recovery: both put virtual tables back by
// writing their schema rows, which SQLite's defensive mode forbids. Nothing
// it writes is flushed: the caller flushes the result before relying on it.
[[nodiscard]] QByteArrayList rebuilding();

} // namespace quillbox
