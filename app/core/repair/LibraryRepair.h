#pragma once

#include "app/core/outcomes/RepairOutcome.h"

#include "app/core/frontend/Alerts.h"
#include "app/core/fs/FileTree.h"
#include "app/core/fs/FolderLock.h"
#include "app/core/outcomes/RepairFailure.h"
#include "app/core/repair/RepairJournal.h"
#include "app/core/sqlite/DamageVerdict.h"
#include "app/core/sqlite/LibraryCensus.h"
#include "app/core/sqlite/SqliteShell.h"

#include <QString>

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <optional>

namespace quillbox
{

class Alerts;
class CompanionApps;
class Workspace;
struct RecoveredSwap;
struct SalvageReport;

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
    // Whether a recovered copy is offered or used at once; Ask by default.
    void setRecoveredCopyUse(RecoveredCopyUse use) { recoveredCopyUse_ = use; }

    // Runs the whole repair and tells the user its outcome in an alert.
    RepairOutcome fixLibrary();

    // Judges the library's damage without repairing it, under the same locks
    // and refusals as a repair (but for the ones about writing), and tells
    // the user the verdict in an alert, with each damaged table and index in
    // its details. The library is only read, as the repair reads it: its log
    // is not folded in, and a -wal file the read made is removed again, so
    // every file but Library.sqlite-shm stays byte for byte as it was. The
    // cancel flag stops it too. Blocking, like fixLibrary().
    CheckOutcome checkLibrary();

    // Stops the repair once `*flag` is true, but only while nothing in the
    // library has been changed (during the safety copy and the dump),
    // leaving the library as it was; after that it runs to its end. The
    // flag is not owned and must outlive the repair.
    void setCancelFlag(const std::atomic<bool> *flag) { cancelFlag_ = flag; }

    // Tells the user the library is beyond repair, offers the support mail
    // and puts the safety copy back in place of the library folder; then,
    // when a recovered copy was saved, offers it in the library's place.
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

    // What the dump and the look at the damaged database found.
    struct Examination {
        SqliteShell::FileRun dump = {}; // how the shell that wrote the dump ended
        std::optional<DamageVerdict> verdict = {};
        std::optional<Census> census = {};
        // How a shell that could not start, was stopped or was killed ended.
        std::optional<Failure> trouble = {};
        // What the readers that failed said on their standard error.
        QByteArray readersSaid = {};
        // The new database, built from the dump while it is written: how its
        // shell ended, and what it reads after the dump.
        std::future<SqliteShell::Ending> rebuilt = {};
        std::promise<QByteArray> tail = {};
        bool tailGiven = false;
    };

    // The steps, in order; each returns how it failed, or nothing to go on.
    std::optional<Failure> repair();
    std::optional<Failure> openLibrary();
    std::optional<Failure> takeLocks();
    std::optional<Failure> checkReady();
    // The refusals a check shares with a repair: Quillbox runs, another
    // program has the database open, the shell is missing.
    std::optional<Failure> checkUnused();
    // How long one run of the shell may take.
    [[nodiscard]] std::chrono::milliseconds shellTimeLimit() const;
    // The check's verdict on the library once it may be read, with the
    // alert that checkLibrary() shows for it.
    struct CheckResult {
        CheckOutcome outcome;
        Alert alert;
    };
    CheckResult judgeOnly();
    [[nodiscard]] std::optional<Failure> checkSpace() const;
    // Starts the safety copy, which goes on beside the dump; secureSafetyCopy()
    // waits for it.
    std::optional<Failure> makeSafetyCopy();
    // How a safety copy being made ended: why it failed, with what the
    // system said; what it holds; the extended attributes it could not keep.
    struct CopyMade {
        std::optional<std::pair<Cause, QString>> failure;
        std::optional<TreeSummary> summary;
        QStringList dropped;
    };
    // Copies the rest of the library, reads the copy back and flushes it.
    static CopyMade finishCopy(FolderCopy copy, const QString &partial);
    // Dumps the library while its damage is judged and its census taken;
    // after an `earlier` look that found damaged full-text indexes, their
    // derived rows are left out and the damage is not judged again.
    Examination dumpAndExamine(const std::optional<DamageVerdict> &earlier = std::nullopt);
    std::optional<Failure> secureSafetyCopy();
    std::optional<Failure> refusalAfterExamination(const Examination &examined);
    // The damaged database's last read, in place, on the other core while
    // the rebuild runs: the digest of every table, then its log folded into
    // it (see foldDamagedLog()).
    struct DamagedRead {
        Digests digests;
        std::optional<Failure> unfolded; // why the log could not be folded; nullopt when it was
    };
    std::future<DamagedRead> readDamaged(const Census &census);
    // What the rebuilt database takes over from the damaged one.
    struct DatabaseFile {
        std::optional<mode_t> mode; // permission bits; nullopt when unknown
        qint64 size = 0;            // bytes of the database and its log
        bool keepsLog = false;      // in write-ahead log mode
    };
    [[nodiscard]] DatabaseFile describeDatabase() const;
    // Starts the shell that builds the new database under a hidden name
    // from what arrives on the pipe whose writing end it returns (-1, and
    // no shell, when no pipe could be made: the dump then fails to be read).
    int startRebuild(Examination &examined);
    // Gives the new database what follows the dump, waits for it and keeps
    // the damaged database's permissions on it.
    std::optional<Failure> finishRebuild(Examination &examined, const DatabaseFile &damaged);
    // Stops a new database that will not be used, and removes it.
    void abandonRebuild(Examination &examined);
    std::optional<Failure> verify(const Census &census, std::future<DamagedRead> &damagedRead);
    // Folds the damaged database's log into it, so that the database is
    // whole in its one file and its log goes; nothing, when it kept no log.
    // What SQLite reads from it stays the same; its bytes change (the safety
    // copy keeps them, and every failure from here on puts it back). Locked
    // when another program holds it.
    [[nodiscard]] std::optional<Failure> foldDamagedLog() const;
    // Puts the checked new database in the damaged one's place, once its
    // log is folded into it: at every moment Library.sqlite is the damaged
    // database, whole in its file, or the new one; no log of the damaged
    // one is ever beside the new one.
    std::optional<Failure> swapIn();

    // Turns a failure into its restore, its salvage and its alert.
    RepairOutcome endAfterFailure(const Failure &failure);
    // Stops an unfinished safety copy and removes it with the dump.
    Failure dropUnfinishedCopy(Failure failure);
    [[nodiscard]] std::optional<Failure> databaseFileProblem() const;
    [[nodiscard]] bool canceled() const { return cancelFlag_ != nullptr && cancelFlag_->load(); }
    void record(RepairPhase phase);
    // How a shell run that `ended` failed: it could not start or was
    // stopped, or else the library is corrupt, with the shell's own last word.
    [[nodiscard]] static Failure shellFailure(const SqliteShell::Ending &ended);
    // The same for the dump or the rebuild, where a disk that refused a
    // write is the cause rather than the library.
    [[nodiscard]] Failure shellRunFailure(const SqliteShell::Ending &ended) const;
    RepairOutcome restoreSafetyCopy();
    // Saves what can be saved of the damaged database beside the library;
    // what it saved, and where.
    SalvageReport salvage();
    // Once the library is back as it was: asks (or not, as set) whether the
    // `recovered` copy takes its place, and swaps the folders if so.
    RepairOutcome offerRecoveredCopy(const QString &recovered);
    // Locks the recovered copy and records the swap of `swap`; why the
    // swap cannot go on, or nothing.
    std::optional<QString> prepareSwap(const RecoveredSwap &swap);
    void report(RepairStage stage, double fraction);

    RepairServices services_;
    SqliteShell shell_;
    QString libraryPath_;
    QString backupPath_;
    // Extended attributes the safety copy could not keep.
    QStringList droppedAttributes_;
    // The rows of each of the library's tables that a fixed library kept.
    QList<QPair<QString, qint64>> keptRows_;
    Progress progress_;
    BackupChosen backupChosen_;
    const RepairJournal *journal_ = nullptr;
    RepairRecord record_;
    double reported_ = 0.0;
    // The safety copy, made while the dump runs.
    std::future<CopyMade> copyMade_;
    // Held from before anything is touched until the repair has ended: the
    // state folder's (no second program of this user takes the journal's
    // record for an interrupted repair) and the library's (no other program,
    // of any user, works on the library meanwhile).
    FolderLocks locks_;
    std::optional<std::chrono::milliseconds> shellTimeLimit_;
    const std::atomic<bool> *cancelFlag_ = nullptr;
    RecoveredCopyUse recoveredCopyUse_ = RecoveredCopyUse::Ask;
    // Stops the shell that builds a new database that will not be used.
    std::atomic<bool> stopRebuild_{false};
};

// The safety copy's name for a library folder named `libraryName`:
// "Main.ext" gives "Main (Old Version).ext", "Main" gives "Main (Old Version)".
[[nodiscard]] QString safetyCopyName(const QString &libraryName);

} // namespace quillbox
