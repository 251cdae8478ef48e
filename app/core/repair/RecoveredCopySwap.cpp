#include "app/core/repair/RecoveredCopySwap.h"

#include "app/core/fs/FileTree.h"
#include "app/core/fs/FolderLock.h"
#include "strings/FileNames.h"

#include <QFileInfo>

#include <tuple>

namespace quillbox
{
namespace
{

// A folder itself, not a link to one.
bool isFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

QString parentOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

SwapEnd swapInRecoveredCopy(const RecoveredSwap &swap)
{
    if (const Expected<> moved = renameNoReplace(swap.library, swap.damaged); !moved)
        return {SwapResult::Unmoved, moved.error()};
    if (const Expected<> moved = renameNoReplace(swap.recovered, swap.library); !moved) {
        const bool movedBack = renameNoReplace(swap.damaged, swap.library).has_value();
        std::ignore = syncFolder(parentOf(swap.library));
        return {movedBack ? SwapResult::Unmoved : SwapResult::Stranded, moved.error()};
    }
    // The new names reach the disk before the record of the swap is
    // cleared: until then a power cut could bring back the old ones, and
    // the record is what sets them right.
    std::ignore = syncFolder(parentOf(swap.library));
    return {SwapResult::Swapped};
}

SwapState settleSwap(const RecoveredSwap &swap, FolderLocks &locks)
{
    const auto locked = [&locks](const QString &path) {
        return locks.lock(path) == FolderLocks::Result::Taken;
    };
    if (!bf::itemExists(swap.library) && isFolder(swap.damaged) && isFolder(swap.recovered)) {
        if (!locked(swap.damaged) || !locked(swap.recovered))
            return SwapState::Unclear;
        if (!renameNoReplace(swap.recovered, swap.library))
            std::ignore = renameNoReplace(swap.damaged, swap.library);
        std::ignore = syncFolder(parentOf(swap.library));
    }
    if (!isFolder(swap.library))
        return SwapState::Unclear;
    if (isFolder(swap.damaged) && !bf::itemExists(swap.recovered))
        return SwapState::Finished;
    if (isFolder(swap.recovered) && !bf::itemExists(swap.damaged))
        return SwapState::NotBegun;
    return SwapState::Unclear;
}

} // namespace quillbox
