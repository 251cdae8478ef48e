#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Bookmark data: a small record that finds a folder again after it was
// renamed or moved. It holds the folder's absolute path and its file identity
// (device and inode number).
//
// Layout, big-endian: the magic "QBBK", a 16-bit version (1), the 64-bit
// device and inode numbers, a 32-bit byte count and the path's bytes in the
// file-name encoding. Nothing may follow. The companion application writes
// it; this utility only reads it and never rewrites it.
namespace quillbox
{

// Bookmark data for the folder at `path`; nullopt when nothing is there or it
// is not a folder (symbolic links to folders are followed).
[[nodiscard]] std::optional<QByteArray> createBookmarkData(const QString &path);

// The folder's current absolute path: the recorded path when it still names
// the same folder; else the same folder (by identity) found near its old
// place: below its old parent and that parent's ancestors, up to the user's
// home folder and never outside it, a bounded number of folders deep and in
// all; else the recorded path when a folder stands there (the library put
// back in its place by a restore is another folder under the same name);
// else nullopt. Malformed, truncated, oversized or unknown-version data
// gives nullopt.
[[nodiscard]] std::optional<QString> resolveBookmarkData(const QByteArray &data);

} // namespace quillbox
