#pragma once

#include "app/core/outcomes/RepairOutcome.h"

#include <QString>

// The terminal program's exit statuses. Each outcome's number and what the
// help says of it are given in one place, rowOf() below, and the help's
// tables are made from it: the two cannot disagree.
namespace quillbox
{

// Statuses the terminal program gives outside any outcome.
inline constexpr int kCommandLineNotUnderstood = 1;
inline constexpr int kNoRecoveredCopyWritten = 13; // --salvage-only

// The status for `outcome`: 0 for Fixed, 130 for Canceled (as for any
// program stopped by Ctrl+C).
[[nodiscard]] int exitStatus(RepairOutcome outcome);
// The status for `outcome`: 0 for Healthy; as for a repair where a check
// ends the same way.
[[nodiscard]] int exitStatus(CheckOutcome outcome);

// The help's table of a repair's statuses, by rising number, one
// "  6  the library is beyond repair; …" line each, translated.
[[nodiscard]] QString repairExitStatusTable();
// The same for --check; the statuses it shares with a repair share a line.
[[nodiscard]] QString checkExitStatusTable();

} // namespace quillbox
