#include "app/core/SafetyCopyRestore.h"

#include "app/core/FileTree.h"
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

RestoreResult putSafetyCopyBack(const QString &library, const QString &backup, QString aside,
                                const std::function<void(const QString &aside)> &beforeMovingAside)
{
    if (!QFileInfo(backup).isDir() || QFileInfo(backup).isSymLink())
        return RestoreResult::CopyMissing;
    const QString parent = QFileInfo(library).absolutePath();
    if (itemExists(library)) {
        if (aside.isEmpty() || itemExists(aside))
            aside = damagedFolderPath(library);
        if (beforeMovingAside)
            beforeMovingAside(aside);
        if (renameNoReplace(library, aside))
            return RestoreResult::Failed;
    }
    if (renameNoReplace(backup, library)) {
        if (!itemExists(library) && !aside.isEmpty())
            std::ignore = renameNoReplace(aside, library);
        return RestoreResult::Failed;
    }
    syncFolder(parent);
    if (!aside.isEmpty())
        removeTree(aside);
    return RestoreResult::Restored;
}

} // namespace quillbox
