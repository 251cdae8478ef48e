#pragma once

#include <QString>

// A recovered copy taking its library's place: the folders it moves, and
// how it ended.
namespace quillbox
{

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

} // namespace quillbox
