#pragma once

#include "app/core/outcomes/SalvageReport.h"

#include <QString>

// What a salvage saved and lost, in the user's words.
namespace quillbox
{

// What `report` says, for the user: where the recovered copy is, how many
// rows each table got back and which it lost (the first few of them), or
// why there is none.
[[nodiscard]] QString describeSalvage(const SalvageReport &report);

// The list of the rows each table of `report` lost, with every value its
// indexes hold of them, for the file in the recovered copy; empty when no
// table lost a row that is known.
[[nodiscard]] QString lostItemsText(const SalvageReport &report);

// The name of that file: "Lost items.txt", translated.
[[nodiscard]] QString lostItemsFileName();

} // namespace quillbox
