#pragma once

#include <QString>

namespace quillbox
{

class FolderLocks;

// The folders a recovered copy's swap moves, all three beside each other.
struct RecoveredSwap {
    QString library;   // the library folder (the damaged library), which goes to `damaged`
    QString recovered; // its complete recovered copy, which takes the library's name
    QString damaged;   // a free name the damaged library takes
};

// How a swap ended.
enum class SwapResult {
    Swapped,  // the recovered copy is the library now; the damaged library is at `damaged`
    Unmoved,  // nothing moved, or the first move was undone: both are as they were
    Stranded, // the library was moved and could not be moved back: no folder has its name
};

// How a swap ended, and why it stopped when it did.
struct SwapEnd {
    SwapResult result;
    QString why = {}; // what failed, in the user's words; empty when swapped
};

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
