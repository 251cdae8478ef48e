#pragma once

#include "app/core/frontend/Alerts.h"
#include "app/core/outcomes/SettledRepair.h"

// What the user is told at start-up about a repair that was cut off.
namespace quillbox
{

// The alert that says what was done with it, and where things are.
[[nodiscard]] Alert settledAlert(const SettledRepair &settled);

} // namespace quillbox
