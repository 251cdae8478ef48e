#pragma once

#include "app/core/LostRows.h"

#include <QList>
#include <QString>

namespace quillbox
{

class SqliteShell;

// What a salvage saved.
struct SalvageReport {
    struct Table {
        QString name;
        qint64 recovered = 0;
        qint64 expected = -1; // what the damaged b-trees suggest; -1 when unknown
        // The rows it lost that its indexes still name, by rising id, and
        // how many more there are beyond those.
        QList<LostRow> lost = {};
        qint64 lostUnlisted = 0;
    };
    QString recoveredPath;   // the recovered copy; empty when none was written
    QList<Table> tables;     // the tables of the recovered database, by name
    qint64 lostAndFound = 0; // rows no table could be found for
    QString lostAndFoundTable = QStringLiteral("lost_and_found"); // the table they are in
    QString lostItemsFile; // the list of lost rows in the recovered copy; empty when none
    enum class Failure {
        None,
        NothingFound,
        CouldNotWrite,
        CouldNotRecover,
        NoLibrary,
        Busy,
        Unlockable, // the folder's file system cannot lock it; detail says so, in words
    };
    Failure failure = Failure::None;
    QString detail; // the system's or the shell's own words on a failure
};

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

// What `report` says, for the user: where the recovered copy is, how many
// rows each table got back and which it lost (the first few of them), or
// why there is none.
[[nodiscard]] QString describeSalvage(const SalvageReport &report);

// The list of the rows each table of `report` lost, with every value its
// indexes hold of them, for the file in the recovered copy; empty when no
// table lost a row that is known.
[[nodiscard]] QString lostItemsText(const SalvageReport &report);

// The name of that file: "Lost items.txt", translated.
[[nodiscard]] QString lostItemsFileName();

} // namespace quillbox
