#pragma once

#include "app/core/outcomes/SalvageReport.h"

#include <QList>
#include <QString>

namespace quillbox
{

class SqliteShell;

// The name of the recovered copy of a library folder named `libraryName`:
// "Main.ext" gives "Main (Recovered).ext", "Main" gives "Main (Recovered)".
[[nodiscard]] QString recoveredCopyName(const QString &libraryName);

// Saves what can be saved from the damaged Library.sqlite in the folder
// `source` (the library, or its safety copy), which is only copied, never
// opened: SQLite's recovery reads every page of a copy it can, orphaned ones
// included (free pages, which hold deleted rows, only when the list of them
// is damaged), and rebuilds the rows into a new database, with rows it cannot
// place in the table "lost_and_found"; those that fit one table only go
// back into it. The rows each table lost, as its surviving indexes name
// them, are listed in the file "Lost items.txt" there. The result, with a copy of every
// other file of `source`, becomes the folder "<library> (Recovered).ext",
// unique in `parent`, built under the hidden name `partial` (which must not
// exist; it is removed on failure) and given its name only when complete and
// flushed. A recovery that finds no row leaves nothing behind.
[[nodiscard]] SalvageReport salvageLibrary(const SqliteShell &shell, const QString &source,
                                           const QString &parent, const QString &libraryName,
                                           const QString &partial);

// The salvage alone, for support staff: of the library folder `library`
// itself, which it never changes, beside it; refused while another program
// repairs the library (Busy), when the folder cannot be locked (Unlockable)
// or when it holds no Library.sqlite (NoLibrary).
[[nodiscard]] SalvageReport salvageOnly(const SqliteShell &shell, const QString &library);

} // namespace quillbox
