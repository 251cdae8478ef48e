#pragma once

#include <QString>

#include <functional>

namespace quillbox
{

enum class RestoreResult {
    Restored,    // the safety copy is the library folder now
    CopyMissing, // there is no safety copy; nothing was changed
    Failed,      // a move failed; what was moved was moved back
};

// The name the damaged folder takes while its safety copy is put back:
// "Main (Damaged).ext", numbered when taken, beside the library.
[[nodiscard]] QString damagedFolderPath(const QString &library);

// Puts the folder `backup` in place of `library`: the damaged folder is
// first moved to `aside` (a fresh name is taken when `aside` is empty or
// taken), the copy is moved in, and only then is the damaged folder
// removed. `beforeMovingAside` is told the name used before anything moves.
// Safe to run again when an earlier run was cut off after the first move
// (the library then missing, the damaged folder at `aside`).
RestoreResult putSafetyCopyBack(const QString &library, const QString &backup, QString aside,
                                const std::function<void(const QString &aside)> &beforeMovingAside);

} // namespace quillbox
