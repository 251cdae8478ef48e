#include "app/core/LibraryRepair.h"

#include "app/core/Alerts.h"
#include "app/core/Companion.h"
#include "app/core/CompanionApps.h"
#include "app/core/DamageVerdict.h"
#include "app/core/FileTree.h"
#include "app/core/LibraryCensus.h"
#include "app/core/SafetyCopyRestore.h"
#include "app/core/Salvage.h"
#include "app/core/Workspace.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <tuple>

namespace quillbox
{
namespace
{

const QString kDatabaseName = QStringLiteral("Library.sqlite");
const QString kDumpName = QStringLiteral("Library.sql");
const QByteArray kEndOfDump = QByteArrayLiteral("COMMIT;\n");

// Where each stage ends on the progress bar, in proportion to the time it
// takes: the kernel copies the folder in a fraction of the time the shell
// needs to write the dump (the rows are counted meanwhile), reading the dump
// back, with every index built anew, takes longest by far, and checking the
// rebuilt database takes the rest.
constexpr double kCopyEnd = 0.10;
constexpr double kDumpEnd = 0.36;
constexpr double kRebuildStart = 0.37;
constexpr double kRebuildEnd = 0.85;

QString inFolder(const QString &folder, const QString &name)
{
    return bf::stringByAppendingPathComponent(folder, name);
}

// Removes what a repair that stops early made (a partial copy, the dump);
// the sentence that names what could not be removed, or empty.
QString leftoversNotRemoved(const QStringList &paths)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (!removeTree(path))
            kept.append(u"“"_qs + path + u"”"_qs);
    }
    if (kept.isEmpty())
        return {};
    return u"\n\n"_qs + QCoreApplication::translate("QBAppDelegate",
                                                    "The repair could not remove what it had made "
                                                    "so far; you can delete it: %1.")
                            .arg(kept.join(u", "_qs));
}

qint64 fileSize(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

} // namespace

QString safetyCopyName(const QString &libraryName)
{
    const QString base = bf::stringByDeletingPathExtension(libraryName);
    return bf::stringByAppendingPathExtension(base + QStringLiteral(" (Old Version)"),
                                              bf::pathExtension(libraryName));
}

LibraryRepair::LibraryRepair(RepairServices services, SqliteShell shell, QString libraryPath)
    : services_(services), shell_(std::move(shell)), libraryPath_(std::move(libraryPath))
{
}

void LibraryRepair::report(RepairStage stage, double fraction)
{
    reported_ = std::clamp(fraction, reported_, 1.0);
    if (progress_)
        progress_(stage, reported_);
}

void LibraryRepair::record(RepairPhase phase)
{
    record_.phase = phase;
    // A journal that cannot be written costs only the recovery after a
    // crash; the repair itself stays safe, so it goes on.
    if (journal_ != nullptr)
        std::ignore = journal_->write(record_);
}

RepairOutcome LibraryRepair::fixLibrary()
{
    const RepairOutcome outcome = repair();
    // The record of another program's repair is not ours to clear.
    if (journal_ != nullptr && outcome != RepairOutcome::AlreadyRunning)
        journal_->clear();
    locks_.release();
    return outcome;
}

std::optional<RepairOutcome> LibraryRepair::takeLocks()
{
    const auto refuse = [this] {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate", "A repair is already running."),
             QCoreApplication::translate("QBAppDelegate",
                                         "Another Quillbox Repair is working on this library. Wait "
                                         "until it has finished, then try again if need be."),
             {}});
        return RepairOutcome::AlreadyRunning;
    };
    // A state folder that cannot be locked cannot hold a journal either; the
    // library's own lock still keeps every other program out of it.
    if (journal_ != nullptr && QDir().mkpath(journal_->folder()) &&
        locks_.lock(journal_->folder()) == FolderLocks::Result::Held)
        return refuse();
    switch (locks_.lock(libraryPath_)) {
    case FolderLocks::Result::Taken:
        return std::nullopt;
    case FolderLocks::Result::Held:
        return refuse();
    case FolderLocks::Result::Failed:
        break;
    }
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    services_.alerts.runModal(
        {QCoreApplication::translate("QBAppDelegate", "The library cannot be changed."),
         QCoreApplication::translate("QBAppDelegate", "The folder “%1” cannot be opened: %2.")
             .arg(libraryPath_, why),
         {}});
    return RepairOutcome::ReadOnly;
}

RepairOutcome LibraryRepair::repair()
{
    if (libraryPath_.isEmpty() || !QFileInfo(libraryPath_).isDir()) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate", "No Quillbox library was found."),
             QCoreApplication::translate("QBAppDelegate",
                                         "Choose the library folder and try again."),
             {}});
        return RepairOutcome::NoLibrary;
    }
    // A library reached through a symbolic link is repaired where it really
    // lives, with its safety copy beside it there.
    libraryPath_ = QFileInfo(libraryPath_).canonicalFilePath();
    // Before the folder is even looked at: while another program repairs
    // it, its database may be missing for a moment.
    if (const auto refused = takeLocks())
        return *refused;
    if (const QString problem = databaseFileProblem(); !problem.isEmpty()) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate",
                                         "This folder holds no Quillbox library to repair."),
             problem,
             {}});
        return RepairOutcome::NoLibrary;
    }
    if (services_.apps.isRunning(companion::kMainIdentifier) ||
        services_.apps.isRunning(companion::kAlternateIdentifier)) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate", "Quillbox is running."),
             QCoreApplication::translate("QBAppDelegate", "Quit Quillbox and try again."),
             {}});
        return RepairOutcome::CompanionRunning;
    }
    if (!shell_.isUsable()) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate", "The repair tool is incomplete."),
             QCoreApplication::translate(
                 "QBAppDelegate",
                 "The SQLite shell was not found at “%1”. Reinstall Quillbox Repair and try again.")
                 .arg(shell_.executable()),
             {}});
        return RepairOutcome::ShellMissing;
    }

    if (!canWriteEverything())
        return lastRefusal_;
    if (!makeSafetyCopy())
        return RepairOutcome::SafetyCopyFailed;

    const qint64 databaseSize = fileSize(inFolder(libraryPath_, kDatabaseName)) +
                                fileSize(inFolder(libraryPath_, kDatabaseName + u"-wal"_qs));
    // A shell that hangs is stopped: ten minutes, and a minute more for every
    // 100 MB of database, is far more than any run takes.
    shell_.setTimeLimit(
        shellTimeLimit_.value_or(std::chrono::minutes(10 + databaseSize / (qint64{100} << 20))));
    // While the dump runs, the other core judges the damage and reads every
    // table once: damage that already lost rows, or a table that cannot be
    // read to its end, is beyond repair.
    auto examining = std::async(std::launch::async, [shell = shell_, folder = libraryPath_] {
        return std::pair{judgeDamage(shell, folder), takeCensus(shell, folder)};
    });
    struct stat databaseInfo {
    };
    const bool knownMode =
        ::stat(QFile::encodeName(inFolder(libraryPath_, kDatabaseName)).constData(),
               &databaseInfo) == 0;
    // The dump's text is usually somewhat larger than the database it holds.
    const double dumpEstimate = std::max<double>(1.0, 1.2 * static_cast<double>(databaseSize));
    const QString dumpPath = inFolder(libraryPath_, kDumpName);
    const SqliteShell::FileRun dump = runDump(
        kCopyEnd, kDumpEnd, [&] { return static_cast<double>(fileSize(dumpPath)) / dumpEstimate; });
    const auto [verdict, census] = examining.get();
    if (!secureSafetyCopy())
        return RepairOutcome::SafetyCopyFailed;
    // A dump that could not be written in full is the disk's fault, not the
    // library's, whatever the shell or the count made of it.
    if (dump.writeError != 0)
        return writeFailed(QString::fromLocal8Bit(std::strerror(dump.writeError)));
    if (shell_.lastTrouble() != SqliteShell::Trouble::None)
        return shellTrouble();
    if (!census || !verdict || verdict->kind == DamageVerdict::Kind::RowsLost)
        return showCorruptMessage();
    if (census->rowsWithNulText > 0) {
        services_.alerts.runModal(
            {QCoreApplication::translate(
                 "QBAppDelegate", "The library holds text that the repair cannot carry over."),
             QCoreApplication::translate(
                 "QBAppDelegate",
                 "Some text in the library contains a NUL character, which the rebuild would cut "
                 "short. The library was left as it is; a safety copy is at “%1”.")
                     .arg(backupPath_) +
                 leftoversNotRemoved({dumpPath}),
             {}});
        return RepairOutcome::UnsafeText;
    }
    if (dump.status != 0)
        return shellFailed();

    report(RepairStage::Check, kDumpEnd);
    if (!dumpIsComplete(dump))
        return shellFailed();

    removeDamagedDatabase(*census);
    const QString databasePath = inFolder(libraryPath_, kDatabaseName);
    const double rebuildEstimate = std::max<double>(1.0, static_cast<double>(databaseSize));
    // What the rebuild has written so far goes on to the disk while it runs,
    // so the flush before it is called done has only the last part to wait for.
    // After the dump's rows, the REAL values its text could not hold exactly.
    if (runShell(loadScript(QStringLiteral("FixScript")) + census->exactReals, RepairStage::Rebuild,
                 kRebuildStart, kRebuildEnd, [&] {
                     startWriteback(databasePath);
                     return static_cast<double>(fileSize(databasePath)) / rebuildEstimate;
                 }) != 0)
        return shellFailed();
    // The new database keeps who may read and write it.
    if (knownMode)
        ::chmod(QFile::encodeName(databasePath).constData(), databaseInfo.st_mode & 07777);
    // The end-of-dump marker alone is not proof: a shell may close the dump
    // of a damaged table with COMMIT and leave out the rows it could not read,
    // so the new database is checked. Meanwhile another core flushes it and
    // its folder (the old files gone by then), since the rebuild did not wait
    // for the disk; it counts as done only when both have succeeded.
    report(RepairStage::Check, kRebuildEnd);
    const std::optional<QByteArray> digests = freeing_.get();
    auto flushing = std::async(std::launch::async, [databasePath, folder = libraryPath_] {
        return syncFile(databasePath) && syncFolder(folder);
    });
    const bool matches = digests && matchesDigests(shell_, libraryPath_, *census, *digests);
    const bool flushed = flushing.get();
    if (!matches)
        return showCorruptMessage();
    if (!flushed)
        return writeFailed(QString());
    record(RepairPhase::Rebuilt);

    QFile::remove(dumpPath);
    report(RepairStage::Check, 1.0);
    services_.alerts.runModal(
        {QCoreApplication::translate("QBAppDelegate", "The library file has been fixed!"),
         QString(),
         {QCoreApplication::translate("QBAppDelegate", "Quit")}});
    return RepairOutcome::Fixed;
}

QString LibraryRepair::databaseFileProblem() const
{
    // The shell follows links, and SQLite keeps a linked database's -wal and
    // -shm beside the link's target: only plain files inside the folder are
    // worked on, so nothing outside it is ever written.
    for (const QString &name :
         {kDatabaseName, kDatabaseName + u"-wal"_qs, kDatabaseName + u"-shm"_qs}) {
        struct stat st {
        };
        const QString path = inFolder(libraryPath_, name);
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
            if (name == kDatabaseName)
                return QCoreApplication::translate("QBAppDelegate", "There is no “%1” in “%2”.")
                    .arg(name, libraryPath_);
            continue;
        }
        if (!S_ISREG(st.st_mode))
            return QCoreApplication::translate(
                       "QBAppDelegate",
                       "“%1” is not a plain file (it is a folder, a link or a device).")
                .arg(path);
        if (name == kDatabaseName && st.st_size == 0)
            return QCoreApplication::translate(
                       "QBAppDelegate",
                       "“%1” is empty, so there is nothing to rebuild. Look for an older copy of "
                       "your library.")
                .arg(path);
    }
    return {};
}

bool LibraryRepair::canWriteEverything()
{
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    for (const QString &folder : {libraryPath_, parent}) {
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            services_.alerts.runModal(
                {QCoreApplication::translate("QBAppDelegate", "The library cannot be changed."),
                 QCoreApplication::translate("QBAppDelegate",
                                             "The folder “%1” cannot be written to: %2.")
                     .arg(folder, why),
                 {}});
            lastRefusal_ = RepairOutcome::ReadOnly;
            return false;
        }
    }
    // The safety copy goes beside the library; inside it go the dump, which
    // can be twice the size of the database when it holds binary data, and
    // the rebuilt database, while the damaged one is still read.
    const qint64 databaseSize = fileSize(inFolder(libraryPath_, kDatabaseName)) +
                                fileSize(inFolder(libraryPath_, kDatabaseName + u"-wal"_qs));
    const qint64 copyBytes = treeSize(libraryPath_);
    const qint64 dumpBytes = databaseSize * 3 + (qint64{1} << 20);
    struct statvfs outside {
    };
    struct statvfs inside {
    };
    struct stat parentInfo {
    };
    struct stat libraryInfo {
    };
    if (::statvfs(QFile::encodeName(parent).constData(), &outside) != 0 ||
        ::statvfs(QFile::encodeName(libraryPath_).constData(), &inside) != 0 ||
        ::stat(QFile::encodeName(parent).constData(), &parentInfo) != 0 ||
        ::stat(QFile::encodeName(libraryPath_).constData(), &libraryInfo) != 0)
        return true; // nothing to go on; a write that fails later is still caught
    const auto freeBytes = [](const struct statvfs &fs) {
        return static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize);
    };
    const bool oneDisk = parentInfo.st_dev == libraryInfo.st_dev;
    const qint64 needed = oneDisk ? copyBytes + dumpBytes : std::max(copyBytes, dumpBytes);
    const qint64 available =
        oneDisk ? freeBytes(outside) : std::min(freeBytes(outside), freeBytes(inside));
    if ((oneDisk && freeBytes(outside) >= needed) ||
        (!oneDisk && freeBytes(outside) >= copyBytes && freeBytes(inside) >= dumpBytes))
        return true;
    const QLocale locale;
    services_.alerts.runModal(
        {QCoreApplication::translate("QBAppDelegate",
                                     "There is not enough free space to repair the library."),
         QCoreApplication::translate("QBAppDelegate",
                                     "The repair needs about %1 of free space on the library's "
                                     "disk, and %2 is free. Free some space and try again.")
             .arg(locale.formattedDataSize(oneDisk ? needed : copyBytes + dumpBytes),
                  locale.formattedDataSize(available)),
         {}});
    lastRefusal_ = RepairOutcome::NoSpace;
    return false;
}

RepairOutcome LibraryRepair::shellTrouble()
{
    const bool started = shell_.lastTrouble() != SqliteShell::Trouble::NotStarted;
    const QString why = QString::fromLocal8Bit(shell_.lastErrors().trimmed());
    const RepairOutcome restored = restoreSafetyCopy();
    if (restored != RepairOutcome::CorruptRestored)
        return restored;
    services_.alerts.runModal(
        {started ? QCoreApplication::translate(
                       "QBAppDelegate", "The SQLite shell stopped responding, so the repair was "
                                        "stopped.")
                 : QCoreApplication::translate("QBAppDelegate",
                                               "The repair could not start the SQLite shell."),
         started ? QCoreApplication::translate(
                       "QBAppDelegate", "The library was put back from its safety copy, exactly as "
                                        "it was. Try again; if it happens again, contact Quillbox "
                                        "Support.")
                 : QCoreApplication::translate(
                       "QBAppDelegate", "The library was put back from its safety copy, exactly as "
                                        "it was. Reinstall Quillbox Repair and try again."),
         {},
         why});
    return RepairOutcome::ShellFailed;
}

RepairOutcome LibraryRepair::shellFailed()
{
    if (shell_.lastTrouble() != SqliteShell::Trouble::None)
        return shellTrouble();
    // A shell that could not write says so; that is no corruption of the
    // library, and the user can do something about it.
    const QByteArray errors = shell_.lastErrors();
    // The shell does not report a failed write of its output file, so a disk
    // that is full now counts as the cause too.
    struct statvfs disk {
    };
    const bool diskFull =
        ::statvfs(QFile::encodeName(libraryPath_).constData(), &disk) == 0 &&
        static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_frsize) < (qint64{1} << 20);
    const bool diskTrouble =
        diskFull || errors.contains("disk is full") || errors.contains("No space left") ||
        errors.contains("readonly database") || errors.contains("Read-only file system") ||
        errors.contains("disk I/O error");
    if (!diskTrouble)
        return showCorruptMessage();
    return writeFailed(QString::fromLocal8Bit(errors.trimmed()).section(u'\n', -1));
}

RepairOutcome LibraryRepair::writeFailed(const QString &detail)
{
    const RepairOutcome restored = restoreSafetyCopy();
    if (restored != RepairOutcome::CorruptRestored)
        return restored;
    services_.alerts.runModal(
        {QCoreApplication::translate("QBAppDelegate",
                                     "The repair stopped because the disk could not be written."),
         QCoreApplication::translate("QBAppDelegate",
                                     "The library's disk is full or refused a write. The library "
                                     "was put back from its safety copy. Free some space and try "
                                     "again.") +
             (detail.isEmpty() ? QString() : u"\n\n"_qs + detail),
         {}});
    return RepairOutcome::WriteFailed;
}

bool LibraryRepair::makeSafetyCopy()
{
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    const QString name = bf::makeFilenameUniqueInDirectory(
        safetyCopyName(bf::lastPathComponent(libraryPath_)), parent);
    backupPath_ = inFolder(parent, name);
    if (backupChosen_)
        backupChosen_(backupPath_);

    // The copy is made under a hidden temporary name and renamed only when
    // complete, so a failed copy never looks like a safety copy. The name is
    // recorded before anything is written, so an interrupted copy is found.
    const QString partial = inFolder(
        parent, u".quillbox-copy-"_qs + QUuid::createUuid().toString(QUuid::Id128).left(12));
    record_ = {RepairPhase::Copying,
               QFileInfo(libraryPath_).absoluteFilePath(),
               backupPath_,
               partial,
               QString(),
               std::nullopt};
    record(RepairPhase::Copying);
    const double total = std::max<double>(1.0, static_cast<double>(treeSize(libraryPath_)));
    std::optional<QString> error = copyTree(libraryPath_, partial, [&](qint64 copied) {
        report(RepairStage::SafetyCopy, kCopyEnd * static_cast<double>(copied) / total);
    });
    // What the copy holds now is what it must hold when it is put back.
    if (!error && !(record_.copy = summarizeTree(partial)))
        error = QCoreApplication::translate("QBAppDelegate",
                                            "The copy could not be read back in full.");
    if (error) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate",
                                         "There was a problem saving a copy of the library file."),
             *error + leftoversNotRemoved({partial}),
             {}});
        return false;
    }
    // The copy reaches the disk while the dump runs; it takes its own name
    // only then (secureSafetyCopy()), before anything in the library changes.
    partialPath_ = partial;
    pendingSync_ = std::async(std::launch::async, [partial] { return syncTree(partial); });
    report(RepairStage::SafetyCopy, kCopyEnd);
    return true;
}

bool LibraryRepair::secureSafetyCopy()
{
    if (!pendingSync_.valid())
        return true;
    std::optional<QString> error;
    if (!pendingSync_.get())
        error = QCoreApplication::translate("QBAppDelegate",
                                            "The copy could not be written to the disk in full.");
    if (!error)
        error = renameNoReplace(partialPath_, backupPath_);
    // The copy counts as made only once its new name is on the disk too.
    if (!error && !syncFolder(QFileInfo(backupPath_).absolutePath())) {
        error = QCoreApplication::translate("QBAppDelegate",
                                            "The copy could not be written to the disk in full.");
        std::ignore = renameNoReplace(backupPath_, partialPath_);
    }
    if (error) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate",
                                         "There was a problem saving a copy of the library file."),
             *error + leftoversNotRemoved({partialPath_, inFolder(libraryPath_, kDumpName)}),
             {}});
        return false;
    }
    record(RepairPhase::Copied);
    return true;
}

int LibraryRepair::runShell(const QByteArray &script, RepairStage stage, double from, double to,
                            const std::function<double()> &done)
{
    report(stage, from);
    return shell_.run(libraryPath_, script, [&] {
        // Estimates stop short of the stage's end: only the exit ends it.
        report(stage, from + (to - from) * std::min(done(), 0.98));
    });
}

SqliteShell::FileRun LibraryRepair::runDump(double from, double to,
                                            const std::function<double()> &done)
{
    report(RepairStage::Dump, from);
    return shell_.runToFile(
        libraryPath_, loadScript(QStringLiteral("DumpScript")), inFolder(libraryPath_, kDumpName),
        [&] { report(RepairStage::Dump, from + (to - from) * std::min(done(), 0.98)); });
}

bool LibraryRepair::dumpIsComplete(const SqliteShell::FileRun &dump) const
{
    // The file must hold exactly what the shell printed, and end in the
    // marker the shell writes last.
    QFile file(inFolder(libraryPath_, kDumpName));
    const qint64 size = file.size();
    if (size != dump.bytes || size < kEndOfDump.size() || !file.open(QIODevice::ReadOnly) ||
        !file.seek(size - kEndOfDump.size()))
        return false;
    return file.read(kEndOfDump.size()) == kEndOfDump;
}

void LibraryRepair::removeDamagedDatabase(const Census &census)
{
    // Each damaged file is renamed to a hidden name at once, which frees
    // the names for the rebuild. Under those names, which keep the database
    // and its log together, the other core digests every table of the
    // damaged database while the rebuild runs, then removes the files
    // (removing a large file gives its blocks back before the call returns,
    // which takes a while). Were the repair stopped before the rebuild is
    // done, the safety copy goes back and these names go with the damaged
    // folder.
    const QString hidden = u".quillbox-removed-"_qs;
    const QStringList doomed{kDatabaseName, kDatabaseName + u"-shm"_qs, kDatabaseName + u"-wal"_qs};
    const QStringList entries =
        QDir(libraryPath_).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QStringList renamed;
    for (const QString &entry : entries) {
        if (!doomed.contains(entry))
            continue;
        const QString path = inFolder(libraryPath_, entry);
        if (!renameNoReplace(path, inFolder(libraryPath_, hidden + entry)))
            renamed.append(inFolder(libraryPath_, hidden + entry));
        else
            removeTree(path);
    }
    freeing_ = std::async(std::launch::async, [renamed, census, folder = libraryPath_,
                                               shell = shell_.onDatabase(hidden + kDatabaseName)] {
        std::optional<QByteArray> digests = digestTables(shell, folder, census);
        for (const QString &path : renamed)
            removeTree(path);
        return digests;
    });
}

RepairOutcome LibraryRepair::showCorruptMessage()
{
    const QString shellSaid = QString::fromLocal8Bit(shell_.lastErrors().trimmed());
    const QString salvaged = salvage();
    QStringList details{
        QCoreApplication::translate("QBAppDelegate",
                                    "The library “%1” is put back from its safety copy “%2”, "
                                    "exactly as it was before the repair.")
            .arg(libraryPath_, backupPath_),
        salvaged};
    if (!shellSaid.isEmpty())
        details.append(QCoreApplication::translate("QBAppDelegate", "The SQLite shell said:\n%1")
                           .arg(shellSaid));
    const int answer = services_.alerts.runModal(
        {QCoreApplication::translate(
             "QBAppDelegate", "The library file is corrupt and cannot be repaired automatically."),
         QCoreApplication::translate("QBAppDelegate",
                                     "Contact Quillbox Support for further assistance."),
         {QCoreApplication::translate("QBAppDelegate", "Support"),
          QCoreApplication::translate("QBAppDelegate", "Cancel")},
         details.join(u"\n\n"_qs)});
    if (answer == kFirstButton) {
        services_.workspace.openUrl(QUrl(QStringLiteral("mailto:") + companion::kSupportAddress +
                                         QStringLiteral("?subject=Quillbox%20Support%20Request")));
    }
    return restoreSafetyCopy();
}

QString LibraryRepair::salvage()
{
    // Read from the safety copy, which is the library as it was and is only
    // copied: neither it nor the library is changed by the salvage. The
    // place it is built in is recorded, so that a salvage cut off is
    // cleared at the next start.
    if (freeing_.valid())
        freeing_.wait(); // the damaged files' digest reads while the copy is read
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    record_.salvage = inFolder(parent, u".quillbox-salvage-"_qs +
                                           QUuid::createUuid().toString(QUuid::Id128).left(12));
    record(record_.phase);
    report(RepairStage::Restore, reported_);
    const SalvageReport salvaged = salvageLibrary(
        shell_, backupPath_, parent, bf::lastPathComponent(libraryPath_), record_.salvage);
    record_.salvage.clear();
    record(record_.phase);
    return describeSalvage(salvaged);
}

RepairOutcome LibraryRepair::restoreSafetyCopy()
{
    if (freeing_.valid())
        freeing_.wait(); // nothing else works in the folder that goes aside
    report(RepairStage::Restore, reported_);
    const QString keptAt =
        QCoreApplication::translate(
            "QBAppDelegate",
            "The complete safety copy is at “%1”. Put it in place of the library folder by hand.")
            .arg(backupPath_);
    const auto notRestored = [this](const QString &why) {
        services_.alerts.runModal(
            {QCoreApplication::translate("QBAppDelegate",
                                         "The library could not be restored from its safety copy."),
             why,
             {}});
        return RepairOutcome::CorruptNotRestored;
    };
    if (!itemExists(libraryPath_))
        return notRestored(keptAt);
    const RestoreResult result = putSafetyCopyBack(
        {libraryPath_, backupPath_, QString(), record_.copy}, locks_, [this](const QString &aside) {
            record_.aside = aside;
            record(RepairPhase::Restoring);
        });
    switch (result) {
    case RestoreResult::Restored:
        return RepairOutcome::CorruptRestored;
    case RestoreResult::CopyChanged:
        return notRestored(
            QCoreApplication::translate(
                "QBAppDelegate",
                "The folder “%1” no longer holds the complete safety copy this repair made (it was "
                "changed, or another program is using it), so the library “%2” was left as it is.")
                .arg(backupPath_, libraryPath_));
    case RestoreResult::CopyMissing:
        return notRestored(QCoreApplication::translate(
                               "QBAppDelegate",
                               "The safety copy “%1” is missing, so the library was left as it is.")
                               .arg(backupPath_));
    case RestoreResult::Failed:
        break;
    }
    return notRestored(keptAt);
}

} // namespace quillbox
