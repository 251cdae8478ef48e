#pragma once

#include <QString>
#include <QStringList>

namespace quillbox
{

// Why a repair stopped before the library was fixed. Each names a
// condition, not the words for it: those are made in RepairReport.
enum class Cause {
    NoLibrary,        // no library folder was given or found
    NoDatabase,       // the folder holds no database; path is the folder
    DatabaseNotPlain, // path is a folder, a link or a device, not a file
    DatabaseEmpty,    // path is an empty file
    AlreadyRunning,   // another program is repairing the library
    FolderUnopenable, // the library folder cannot be opened; path, detail
    LockUnsupported,  // the library folder's file system cannot lock it; path, detail
    CompanionRunning, // Quillbox runs
    ShellMissing,     // our sqlite3 is missing; path is where it should be
    ReadOnly,         // path cannot be written to; detail says why
    NoSpace,          // too little free space: see needed and available
    CopyFailed,       // no safety copy could be made; detail says why
    CopyNotReadBack,  // the copy could not be read back in full
    CopyNotFlushed,   // the copy could not be written to the disk in full
    Canceled,         // the user stopped the repair before anything was changed
    Locked,           // another program holds the database
    UnsafeText,       // text the dump would cut short
    DiskWrite,        // a write failed midway; detail: the system's or shell's words
    ShellNotStarted,  // the shell could not be started; detail says why
    ShellStopped,     // the shell ran past its time limit and was stopped
    ShellKilled,      // the shell was ended by a signal; detail is its number
    Corrupt,          // beyond repair; detail: what the shell said
};

// How a step of the repair failed, with what the report needs to say so.
struct Failure {
    Cause cause;
    QString detail = {};  // the system's or the shell's own words; may be empty
    QString path = {};    // the file or folder concerned; may be empty
    qint64 needed = 0;    // NoSpace: bytes the repair needs
    qint64 available = 0; // NoSpace: bytes free
    // What the repair made and could not remove again.
    QStringList leftovers = {};
};

} // namespace quillbox
