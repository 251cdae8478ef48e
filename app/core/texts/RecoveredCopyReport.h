#pragma once

#include "app/core/frontend/Alerts.h"
#include "app/core/outcomes/RecoveredSwap.h"

#include <QString>

// The texts of the offer to use a recovered copy in place of a library that
// could not be repaired: the question, and how the swap ended.
namespace quillbox
{

// Why a recovered copy did not take the library's place, found before
// anything moved.
enum class SwapHindrance {
    CompanionRunning, // Quillbox runs
    CopyInUse,        // another program holds the recovered copy's lock
    CopyUnlockable,   // the recovered copy cannot be locked; detail: the system's words
    NotRecorded,      // the repair's record could not be written; detail: its path
};

// The words for `hindrance`, which concerns the recovered copy `copy`.
[[nodiscard]] QString hindranceText(SwapHindrance hindrance, const QString &copy,
                                    const QString &detail);

// Asks whether the recovered copy takes the library's place, saying where
// the damaged library goes and that nothing is deleted. Its buttons are "Use
// Recovered Library" and "Keep As It Is"; Return and every cautious answer
// keep.
[[nodiscard]] Alert useRecoveredQuestion(const RecoveredSwap &swap);

// Tells how the swap ended: where the recovered and the damaged library are
// now, or why nothing moved (`ended.why`) and where each folder stands.
[[nodiscard]] Alert swapAlert(const RecoveredSwap &swap, const SwapEnd &ended);

} // namespace quillbox
