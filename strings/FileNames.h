#pragma once

#include <QString>
#include <QStringView>

// File-name helpers. Lengths and positions count UTF-16 code units; path
// arithmetic follows the rules of strings/PathArithmetic.h.
namespace bf
{

// True when anything, a dangling symbolic link included, exists at `path`;
// false for an empty path and when a folder on the way cannot be searched.
[[nodiscard]] bool itemExists(const QString &path);

// `name` when nothing (not even a dangling symbolic link) exists at
// directory/name; otherwise the first "base n.ext" for n = 1, 2, ... (base
// and ext split from `name`; no ".ext" when `name` has no extension) that,
// passed through stringSanitizedForFileName(), is free. A directory that does not
// exist makes every name free. The name is free only at the moment of the
// test: nothing is created or reserved.
[[nodiscard]] QString makeFilenameUniqueInDirectory(const QString &name, const QString &directory);

// The n-th numbered form of `name`: "base n.ext", or "base n" when `name` has
// no extension, at most 255 code units: a longer base is cut (never inside a
// surrogate pair) so the number stays, and an extension that leaves no room
// is kept as part of the base ("name n"). Pure; n is printed in decimal
// without padding.
[[nodiscard]] QString numberedFileName(QStringView name, qint64 n);

// `text` made into one file name:
//  1. white space and line breaks are trimmed from both ends;
//  2. a leading "." becomes "-" (only the first character);
//  3. every "/", ":", "~" and U+0000 becomes "-" (one for one);
//  4. the text is cut at its first line break, then white space is trimmed;
//  5. a result of 256 code units or more keeps its first 254 - e code units
//     plus "." and its extension (e code units), ending at 255 units, or its
//     first 254 when it has no extension or the extension is 254 units or
//     longer. The cut steps back one unit rather than split a surrogate pair.
// Empty, or only white space and line breaks: the empty string.
[[nodiscard]] QString stringSanitizedForFileName(QStringView text);

// `path` after a round trip through the file system's byte form (the
// locale's encoding, UTF-8 here). Text the encoding cannot hold comes back
// replaced; empty gives empty.
[[nodiscard]] QString fileSystemRepresentationString(const QString &path);

// The name a file manager shows for the item at `path`: its last path
// component, with bytes that are not valid in the file-name encoding shown
// as replacement characters. "/" gives "/", empty gives empty. The item need
// not exist.
[[nodiscard]] QString fileDisplayName(const QString &path);

} // namespace bf
