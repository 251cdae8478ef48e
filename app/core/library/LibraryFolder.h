#pragma once

#include "app/core/fs/Expected.h"

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

// Where a repair builds the new database inside the library, and the
// hidden name the damaged database's files take (each with its suffix,
// "", "-wal", "-shm") while the new one takes their place.
inline const QString kRebuildPrefix = QStringLiteral(".quillbox-rebuilt-");
inline const QString kDamagedPrefix = QStringLiteral(".quillbox-damaged-");
inline const QStringList kDatabaseSuffixes{QString(), QStringLiteral("-wal"),
                                           QStringLiteral("-shm")};

// folder/name.
[[nodiscard]] QString inFolder(const QString &folder, const QString &name);

// The size of the file at `path` in bytes; 0 when there is none.
[[nodiscard]] qint64 fileSize(const QString &path);

// Removes what a repair that stops early made (a partial copy, the dump);
// the paths that could not be removed, empty when all are gone.
[[nodiscard]] QStringList removeLeftovers(const QStringList &paths);

// Moves the file named kJournalName in the library folder to
// kKeptJournalName unless it starts with SQLite's journal header (a real
// journal is SQLite's to roll back). An error, in the system's words, when
// it is there and could not be moved.
Expected<> setJournalNameAside(const QString &library);

// Gives an entry kept by setJournalNameAside() its name back when that name
// is free; does nothing when none was kept.
void putJournalNameBack(const QString &library);

// Removes the damaged database's files under their hidden names (`damaged`
// with each suffix), and the new database `rebuild` with its own log files,
// when they are inside `library` and named as a repair names them. Either
// may be empty.
void dropRepairFiles(const QString &library, const QString &damaged, const QString &rebuild = {});

// Undoes a swap cut off before the new database `rebuild` took the name
// Library.sqlite: each damaged file goes back under its own name where that
// is free (a second name of the database is removed), and the new database
// goes. True when it was cut off so; false when the new database already
// holds the name (then nothing is done).
[[nodiscard]] bool undoSwap(const QString &library, const QString &damaged, const QString &rebuild);

} // namespace quillbox
