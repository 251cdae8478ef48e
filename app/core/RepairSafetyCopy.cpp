// The safety copy: its name, and how it is made and secured.
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

QString safetyCopyName(const QString &libraryName)
{
    const QString base = bf::stringByDeletingPathExtension(libraryName);
    return bf::stringByAppendingPathExtension(base + QStringLiteral(" (Old Version)"),
                                              bf::pathExtension(libraryName));
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

} // namespace quillbox
