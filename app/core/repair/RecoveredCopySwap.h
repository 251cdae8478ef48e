#pragma once

#include "app/core/outcomes/RecoveredSwap.h"

#include <QString>

namespace quillbox
{

class FolderLocks;

// Moves the library to `swap.damaged`, then the recovered copy to the
// library's name, each only where nothing stands yet; when the second move
// fails, the first is undone. Both moves are flushed to the disk. The
// caller holds the locks of both folders and has recorded the swap.
[[nodiscard]] SwapEnd swapInRecoveredCopy(const RecoveredSwap &swap);

// Where a swap that may have been cut off stands.
enum class SwapState {
    NotBegun, // the library is the damaged one, the recovered copy beside it
    Finished, // the recovered copy is the library, the damaged one at `damaged`
    Unclear,  // the folders are not as a swap leaves them; nothing was moved
};

// Sets right a swap cut off at any moment. One cut off between its two
// moves, the library's name free, is finished, as the user chose; should
// the recovered copy not take the name, the damaged library goes back under
// it. Each folder is locked in `locks` before it is moved, and one that
// another program holds is not moved (Unclear).
[[nodiscard]] SwapState settleSwap(const RecoveredSwap &swap, FolderLocks &locks);

} // namespace quillbox
