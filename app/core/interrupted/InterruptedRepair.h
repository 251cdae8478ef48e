#pragma once

#include "app/core/frontend/Alerts.h"

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
//  - cut off while a recovered copy took the place of the library put back:
//    a swap cut off between its two moves is finished, so the library's
//    name holds the damaged library or the whole recovered one.
// A record is acted on only when no running program holds the state
// folder's lock (its owner has ended) and none holds the library's; a
// safety copy is put back only when it still holds what was recorded.
// Returns the alert that tells the user what was done, or nullopt when no
// repair was cut off (none recorded, or the one recorded is still running,
// or another program works on its library: the record then stays for a
// later start). Otherwise the journal is cleared.
[[nodiscard]] std::optional<Alert> settleInterruptedRepair(const RepairJournal &journal);

} // namespace quillbox
