#pragma once

#include "app/core/fs/FileTree.h"
#include "app/core/outcomes/RestoreResult.h"

#include <QString>

#include <functional>
#include <optional>

namespace quillbox
{

class FolderLocks;

// What to put back where.
struct RestorePlan {
    QString library;
    QString backup;
    // Where the damaged folder goes meanwhile; a fresh name is taken when
    // empty or taken.
    QString aside;
    // What the complete safety copy held when it was made; without it the
    // copy cannot be trusted and nothing is moved.
    std::optional<TreeSummary> expected;
};

// The name the damaged folder takes while its safety copy is put back:
// "Main (Damaged).ext", numbered when taken, beside the library.
[[nodiscard]] QString damagedFolderPath(const QString &library);

// Puts the folder `plan.backup` in place of `plan.library`, but only when it
// still holds exactly `plan.expected`: the copy is locked in `locks` (so it
// stays locked once it is the library), the damaged folder is moved aside,
// the copy is moved in, and only then is the damaged folder removed.
// `beforeMovingAside` is told the name used before anything moves. Safe to
// run again when an earlier run was cut off after the first move (the
// library then missing, the damaged folder at `aside`).
RestoreResult putSafetyCopyBack(const RestorePlan &plan, FolderLocks &locks,
                                const std::function<void(const QString &aside)> &beforeMovingAside);

} // namespace quillbox
