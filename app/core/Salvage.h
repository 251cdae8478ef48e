#pragma once

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
    };
    QString recoveredPath;   // the recovered copy; empty when none was written
    QList<Table> tables;     // the tables of the recovered database, by name
    qint64 lostAndFound = 0; // rows no table could be found for
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
// place in the table "lost_and_found". The result, with a copy of every
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

// What `report` says, for the user: where the recovered copy is and how
// many rows each table got back, or why there is none.
[[nodiscard]] QString describeSalvage(const SalvageReport &report);

} // namespace quillbox
