#pragma once

#include "app/core/Alerts.h"

#include <optional>

namespace quillbox
{

class RepairJournal;

// Sets right a repair that was cut off, as its journal records it:
//  - cut off while the safety copy was written: the partial copy goes, the
//    library was never touched;
//  - cut off after the copy was complete but before the rebuild passed its
//    checks, or while the copy was being put back: the safety copy is put
//    back in place of the library;
//  - cut off after the rebuild passed its checks: the rebuilt library stays.
// Returns the alert that tells the user what was done, or nullopt when no
// repair was in progress. The journal is cleared either way.
[[nodiscard]] std::optional<Alert> recoverInterruptedRepair(const RepairJournal &journal);

} // namespace quillbox
