// How a repair that cannot go on ends: what it saves, how it puts the
// library back, and which alert it shows.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/frontend/Alerts.h"
#include "app/core/frontend/Workspace.h"
#include "app/core/fs/FileTree.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/repair/FailureOutcome.h"
#include "app/core/repair/SafetyCopyRestore.h"
#include "app/core/salvage/Salvage.h"
#include "app/core/texts/RepairReport.h"
#include "app/core/texts/SalvageText.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUuid>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>

namespace quillbox
{

std::optional<Failure> LibraryRepair::checkSpace() const
{
    // The safety copy goes beside the library; inside it go the dump, which
    // can be twice the size of the database when it holds binary data, and
    // the rebuilt database, while the damaged one is still read.
    const QString parent = QFileInfo(libraryPath_).absolutePath();
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
        return std::nullopt; // nothing to go on; a write that fails later is still caught
    const auto freeBytes = [](const struct statvfs &fs) {
        return static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize);
    };
    const bool oneDisk = parentInfo.st_dev == libraryInfo.st_dev;
    if ((oneDisk && freeBytes(outside) >= copyBytes + dumpBytes) ||
        (!oneDisk && freeBytes(outside) >= copyBytes && freeBytes(inside) >= dumpBytes))
        return std::nullopt;
    Failure failure{.cause = Cause::NoSpace};
    failure.needed = copyBytes + dumpBytes;
    failure.available =
        oneDisk ? freeBytes(outside) : std::min(freeBytes(outside), freeBytes(inside));
    return failure;
}

Failure LibraryRepair::shellFailure(const SqliteShell::Ending &ended)
{
    const QString said = QString::fromLocal8Bit(ended.errors.trimmed());
    switch (ended.trouble) {
    case SqliteShell::Trouble::NotStarted:
        return Failure{.cause = Cause::ShellNotStarted, .detail = said};
    case SqliteShell::Trouble::TimedOut:
    case SqliteShell::Trouble::Canceled:
        return Failure{.cause = Cause::ShellStopped, .detail = said};
    case SqliteShell::Trouble::Killed:
        return Failure{.cause = Cause::ShellKilled, .detail = QString::number(ended.signal)};
    case SqliteShell::Trouble::InputUnreadable:
        // The dump it was to read back could not be read from the disk.
        return Failure{.cause = Cause::DiskWrite, .detail = said};
    case SqliteShell::Trouble::None:
        break;
    }
    return Failure{.cause = Cause::Corrupt, .detail = said};
}

Failure LibraryRepair::shellRunFailure(const SqliteShell::Ending &ended) const
{
    Failure failure = shellFailure(ended);
    if (failure.cause != Cause::Corrupt)
        return failure;
    // A shell that could not write says so; that is no corruption of the
    // library, and the user can do something about it. SQLite reports it
    // only in words, with no error number to go by.
    const QByteArray &errors = ended.errors;
    // The shell does not report a failed write of its output file, so a disk
    // that is full now counts as the cause too.
    struct statvfs disk {
    };
    const bool diskFull =
        ::statvfs(QFile::encodeName(libraryPath_).constData(), &disk) == 0 &&
        static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_frsize) < (qint64{1} << 20);
    if (diskFull || errors.contains("disk is full") || errors.contains("No space left") ||
        errors.contains("readonly database") || errors.contains("Read-only file system") ||
        errors.contains("disk I/O error"))
        return Failure{.cause = Cause::DiskWrite, .detail = failure.detail.section(u'\n', -1)};
    return failure;
}

RepairOutcome LibraryRepair::showCorruptMessage()
{
    return endAfterFailure(Failure{.cause = Cause::Corrupt});
}

RepairOutcome LibraryRepair::endAfterFailure(const Failure &failure)
{
    const RepairPlaces places{libraryPath_, backupPath_, droppedAttributes_};
    if (!needsRestore(failure.cause)) {
        services_.alerts.runModal(failureAlert(failure, places));
        return outcomeOf(failure.cause);
    }
    if (failure.cause == Cause::Corrupt) {
        // What can be saved is saved before the user is asked anything.
        const SalvageReport salvaged = salvage();
        if (services_.alerts.runModal(
                corruptAlert(places, describeSalvage(salvaged), failure.detail)) == kFirstButton)
            services_.workspace.openUrl(QUrl(supportMailUrl()));
        const RepairOutcome restored = restoreSafetyCopy();
        // The recovered copy is offered only for a library that is whole
        // again: the damaged one, exactly as it was.
        if (restored != RepairOutcome::CorruptRestored || salvaged.recoveredPath.isEmpty())
            return restored;
        return offerRecoveredCopy(salvaged.recoveredPath);
    }
    const RepairOutcome restored = restoreSafetyCopy();
    if (restored != RepairOutcome::CorruptRestored)
        return restored;
    services_.alerts.runModal(failureAlert(failure, places));
    return outcomeOf(failure.cause);
}

SalvageReport LibraryRepair::salvage()
{
    // Read from the safety copy, which is the library as it was and is only
    // copied: neither it nor the library is changed by the salvage. The
    // place it is built in is recorded, so that a salvage cut off is
    // cleared at the next start.
    const QString parent = QFileInfo(libraryPath_).absolutePath();
    record_.salvage = inFolder(parent, u".quillbox-salvage-"_qs +
                                           QUuid::createUuid().toString(QUuid::Id128).left(12));
    record(record_.phase);
    report(RepairStage::Restore, reported_);
    SalvageReport salvaged = salvageLibrary(shell_, backupPath_, parent,
                                            bf::lastPathComponent(libraryPath_), record_.salvage);
    record_.salvage.clear();
    record(record_.phase);
    return salvaged;
}

RepairOutcome LibraryRepair::restoreSafetyCopy()
{
    report(RepairStage::Restore, reported_);
    const RepairPlaces places{libraryPath_, backupPath_};
    // A library that stays where it is keeps nothing the repair made: the
    // dump goes, or is named, so no later repair carries it along.
    const auto leftovers = [this] {
        return removeLeftovers({inFolder(libraryPath_, kDumpName)});
    };
    if (!bf::itemExists(libraryPath_)) {
        services_.alerts.runModal(
            notRestoredAlert(RestoreResult::Failed, true, places, leftovers()));
        return RepairOutcome::CorruptNotRestored;
    }
    const RestoreResult result = putSafetyCopyBack(
        {libraryPath_, backupPath_, QString(), record_.copy}, locks_, [this](const QString &aside) {
            record_.aside = aside;
            record(RepairPhase::Restoring);
        });
    if (result == RestoreResult::Restored)
        return RepairOutcome::CorruptRestored;
    services_.alerts.runModal(notRestoredAlert(result, false, places, leftovers()));
    return RepairOutcome::CorruptNotRestored;
}

} // namespace quillbox
