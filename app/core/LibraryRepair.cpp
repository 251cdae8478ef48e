#include "app/core/LibraryRepair.h"

#include "app/core/Alerts.h"
#include "app/core/Companion.h"
#include "app/core/CompanionApps.h"
#include "app/core/DamageVerdict.h"
#include "app/core/FileTree.h"
#include "app/core/LibraryCensus.h"
#include "app/core/LibraryFolder.h"
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

const QByteArray kEndOfDump = QByteArrayLiteral("COMMIT;\n");

} // namespace

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
         QCoreApplication::translate("QBAppDelegate",
                                     "The library as it was before the repair is kept in “%1”. "
                                     "Delete that folder once you are sure you do not need it.")
             .arg(backupPath_),
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
        // One core: the other one rebuilds.
        std::optional<QByteArray> digests = digestTables(shell, folder, census, Cores::One);
        for (const QString &path : renamed)
            removeTree(path);
        return digests;
    });
}

} // namespace quillbox
