#pragma once

#include "app/core/outcomes/RepairFailure.h"
#include "app/core/outcomes/RepairOutcome.h"

// What a failed step makes of the repair: its outcome, and whether the
// safety copy goes back in place of the library.
namespace quillbox
{

// How a repair that stopped with `cause` ends, when the safety copy did not
// have to be put back or was put back.
[[nodiscard]] RepairOutcome outcomeOf(Cause cause);

// True when the library may have changed by the time `cause` stopped the
// repair, so the safety copy goes back in its place.
[[nodiscard]] bool needsRestore(Cause cause);

} // namespace quillbox
