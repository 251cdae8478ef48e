#include "app/core/repair/SafetyCopyRestore.h"

#include "app/core/fs/FolderLock.h"
#include "strings/FileNames.h"
#include "strings/PathArithmetic.h"

#include <QFileInfo>

#include <tuple>

namespace quillbox
{

QString damagedFolderPath(const QString &library)
{
    const QString parent = QFileInfo(library).absolutePath();
    const QString name = bf::lastPathComponent(library);
    const QString aside = bf::stringByAppendingPathExtension(
        bf::stringByDeletingPathExtension(name) + QStringLiteral(" (Damaged)"),
        bf::pathExtension(name));
    return bf::stringByAppendingPathComponent(parent,
                                              bf::makeFilenameUniqueInDirectory(aside, parent));
}

RestoreResult putSafetyCopyBack(const RestorePlan &plan, FolderLocks &locks,
                                const std::function<void(const QString &aside)> &beforeMovingAside)
{
    if (!QFileInfo(plan.backup).isDir() || QFileInfo(plan.backup).isSymLink())
        return RestoreResult::CopyMissing;
    // Locked first, then measured: nobody else can be working on the copy
    // while it is compared and moved.
    if (locks.lock(plan.backup) != FolderLocks::Result::Taken || !plan.expected ||
        summarizeTree(plan.backup) != plan.expected)
        return RestoreResult::CopyChanged;
    const QString &library = plan.library;
    QString aside = plan.aside;
    if (bf::itemExists(library)) {
        if (aside.isEmpty() || bf::itemExists(aside))
            aside = damagedFolderPath(library);
        if (beforeMovingAside)
            beforeMovingAside(aside);
        if (!renameNoReplace(library, aside))
            return RestoreResult::Failed;
    }
    if (!renameNoReplace(plan.backup, library)) {
        if (!bf::itemExists(library) && !aside.isEmpty())
            std::ignore = renameNoReplace(aside, library);
        return RestoreResult::Failed;
    }
    // The damaged folder goes only once the moves are on the disk: until
    // then a power cut could bring back the names from before them.
    if (syncFolder(QFileInfo(library).absolutePath()) && !aside.isEmpty())
        std::ignore = removeTree(aside);
    return RestoreResult::Restored;
}

} // namespace quillbox
