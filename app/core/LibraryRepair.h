#pragma once

#include "app/core/FolderLock.h"
#include "app/core/LibraryCensus.h"
#include "app/core/RepairJournal.h"
#include "app/core/SqliteShell.h"

#include <QString>

#include <chrono>
#include <functional>
#include <future>
#include <optional>

namespace quillbox
{

class Alerts;
class CompanionApps;
class Workspace;

// How a repair ended.
enum class RepairOutcome {
    Fixed,              // the database was rebuilt
    NoLibrary,          // no library folder to repair
    AlreadyRunning,     // another program is repairing this library; nothing touched
    CompanionRunning,   // Quillbox runs; nothing touched
    ShellMissing,       // the utility's own sqlite3 is missing; nothing touched
    SafetyCopyFailed,   // no safety copy could be made; library untouched
    UnsafeText,         // text the dump would cut short; library left as it was
    NoSpace,            // too little free space; nothing touched
    ReadOnly,           // the library or its folder cannot be written; nothing touched
    WriteFailed,        // a write failed midway; the safety copy is back in place
    ShellFailed,        // the shell could not start or stopped responding; the copy is back
    CorruptRestored,    // beyond repair; the safety copy is back in place
    CorruptNotRestored, // beyond repair; the safety copy stays beside it
};

// The stage a repair is in, for progress reports.
enum class RepairStage { SafetyCopy, Dump, Check, Rebuild, Restore };

// The platform services a repair talks to.
struct RepairServices {
    Alerts &alerts;
    CompanionApps &apps;
    Workspace &workspace;
};

// One repair of one library folder: the running check, the safety copy, the
// dump, its completeness check, the removal of the damaged database, the
// rebuild and the report, each step entered only when the one before
// succeeded. Blocking: run it off the GUI thread.
class LibraryRepair
{
  public:
    // `fraction` is the share of the whole repair done, from 0 to 1; it
    // never goes back and reaches 1 only when the repair is over.
    using Progress = std::function<void(RepairStage stage, double fraction)>;
    using BackupChosen = std::function<void(const QString &backupPath)>;

    LibraryRepair(RepairServices services, SqliteShell shell, QString libraryPath);

    void setProgress(Progress progress) { progress_ = std::move(progress); }
    void setBackupChosen(BackupChosen chosen) { backupChosen_ = std::move(chosen); }
    // Where the repair records its progress, so that an interrupted one can
    // be set right at the next start. Not owned; none by default.
    void setJournal(const RepairJournal *journal) { journal_ = journal; }
    // How long one run of the shell may take before it is stopped and the
    // library restored; by default a generous allowance for the library's size.
    void setShellTimeLimit(std::chrono::milliseconds limit) { shellTimeLimit_ = limit; }

    // Runs the whole repair and tells the user its outcome in an alert.
    RepairOutcome fixLibrary();

    // Tells the user the library is beyond repair, offers the support mail
    // and puts the safety copy back in place of the library folder.
    RepairOutcome showCorruptMessage();

    [[nodiscard]] const QString &backupPath() const { return backupPath_; }

  private:
    // Where each stage ends on the progress bar, in proportion to the time it
    // takes: the kernel copies the folder in a fraction of the time the shell
    // needs to write the dump (the damage is judged meanwhile), reading the
    // dump back, with every index built anew, takes longest by far, and
    // checking the rebuilt database takes the rest.
    static constexpr double kCopyEnd = 0.10;
    static constexpr double kDumpEnd = 0.36;
    static constexpr double kRebuildStart = 0.37;
    static constexpr double kRebuildEnd = 0.85;

    RepairOutcome repair();
    void record(RepairPhase phase);
    [[nodiscard]] QString databaseFileProblem() const;
    // nullopt when both locks are held now; else how the repair ends.
    std::optional<RepairOutcome> takeLocks();
    bool canWriteEverything();
    bool makeSafetyCopy();
    bool secureSafetyCopy();
    RepairOutcome shellFailed();
    // Puts the safety copy back and says the shell could not start or
    // stopped responding.
    RepairOutcome shellTrouble();
    // Puts the safety copy back and says the disk refused a write; `detail`
    // (may be empty) is the shell's own last word on it.
    RepairOutcome writeFailed(const QString &detail);
    [[nodiscard]] bool dumpIsComplete(const SqliteShell::FileRun &dump) const;
    void removeDamagedDatabase(const Census &census);
    RepairOutcome restoreSafetyCopy();
    // Saves what can be saved of the damaged database beside the library;
    // what it did, for the user.
    QString salvage();
    int runShell(const QByteArray &script, RepairStage stage, double from, double to,
                 const std::function<double()> &done);
    SqliteShell::FileRun runDump(double from, double to, const std::function<double()> &done);
    void report(RepairStage stage, double fraction);

    RepairServices services_;
    SqliteShell shell_;
    QString libraryPath_;
    QString backupPath_;
    Progress progress_;
    BackupChosen backupChosen_;
    const RepairJournal *journal_ = nullptr;
    RepairRecord record_;
    double reported_ = 0.0;
    QString partialPath_;
    std::future<bool> pendingSync_;
    // The damaged database's digests, taken from its hidden names before
    // its storage is given back.
    std::future<std::optional<QByteArray>> freeing_;
    RepairOutcome lastRefusal_ = RepairOutcome::ReadOnly;
    // Held from before anything is touched until the repair has ended: the
    // state folder's (no second program of this user takes the journal's
    // record for an interrupted repair) and the library's (no other program,
    // of any user, works on the library meanwhile).
    FolderLocks locks_;
    std::optional<std::chrono::milliseconds> shellTimeLimit_;
};

// The safety copy's name for a library folder named `libraryName`:
// "Main.ext" gives "Main (Old Version).ext", "Main" gives "Main (Old Version)".
[[nodiscard]] QString safetyCopyName(const QString &libraryName);

} // namespace quillbox
