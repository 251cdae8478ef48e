#pragma once

#include <QByteArray>

// Lines that go in front of the SQL the program has the shell run on a
// library, so that what the shell prints is what the program reads.
namespace quillbox
{

// Stops at the first error, waits for another reader's lock (several run
// side by side) instead of failing, and prints plain "a|b" lines with NULL
// as an empty field.
[[nodiscard]] QByteArray shellSettings();

// The damaged database is only read: a reader that happens to close it
// last leaves its log as it found it.
[[nodiscard]] QByteArray onlyRead();

// Reads the database through a memory map, which takes a full read half as
// long as copying it into the shell page by page.
[[nodiscard]] QByteArray mappedReads();

} // namespace quillbox
