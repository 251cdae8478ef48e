#pragma once

#include <QString>
#include <QStringList>

// The names inside a library folder that the repair works with, shared by
// the files that make up the repair.
namespace quillbox
{

inline const QString kDatabaseName = QStringLiteral("Library.sqlite");
inline const QString kDumpName = QStringLiteral("Library.sql");

// folder/name.
[[nodiscard]] QString inFolder(const QString &folder, const QString &name);

// The size of the file at `path` in bytes; 0 when there is none.
[[nodiscard]] qint64 fileSize(const QString &path);

// Removes what a repair that stops early made (a partial copy, the dump);
// the paths that could not be removed, empty when all are gone.
[[nodiscard]] QStringList removeLeftovers(const QStringList &paths);

} // namespace quillbox
