// How a repair that cannot go on ends: what it tells the user, what it
// saves, and how it puts the library back.
#include "app/core/LibraryRepair.h"

#include "app/core/Alerts.h"
#include "app/core/Companion.h"
#include "app/core/FileTree.h"
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
#include <future>
#include <tuple>

namespace quillbox
{

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
