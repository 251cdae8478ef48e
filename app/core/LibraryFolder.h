#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The names inside a library folder that the repair works with, shared by
// the files that make up the repair.
namespace quillbox
{

inline const QString kDatabaseName = QStringLiteral("Library.sqlite");
inline const QString kDumpName = QStringLiteral("Library.sql");

// SQLite takes the name "Library.sqlite-journal" for the database's rollback
// journal: a file under it that is not one, the first shell to read the
// database deletes, and the rebuild would overwrite. Such a file waits under
// kKeptJournalName while shells work in the folder.
inline const QString kJournalName = QStringLiteral("Library.sqlite-journal");
inline const QString kKeptJournalName = QStringLiteral(".quillbox-kept-Library.sqlite-journal");

// folder/name.
[[nodiscard]] QString inFolder(const QString &folder, const QString &name);

// The size of the file at `path` in bytes; 0 when there is none.
[[nodiscard]] qint64 fileSize(const QString &path);

// Removes what a repair that stops early made (a partial copy, the dump);
// the paths that could not be removed, empty when all are gone.
[[nodiscard]] QStringList removeLeftovers(const QStringList &paths);

// Moves the file named kJournalName in the library folder to
// kKeptJournalName unless it starts with SQLite's journal header (a real
// journal is SQLite's to roll back). nullopt when there is none or it was
// moved; else the system's words for the failure.
[[nodiscard]] std::optional<QString> setJournalNameAside(const QString &library);

// Gives an entry kept by setJournalNameAside() its name back when that name
// is free; does nothing when none was kept.
void putJournalNameBack(const QString &library);

} // namespace quillbox
