#pragma once

#include <QString>
#include <QtGlobal>

namespace bf
{

// "<quantity> <description>": the quantity in decimal (a leading '-' when
// negative), one space, then `singular` when the quantity is exactly 1 and
// `plural` for every other quantity, 0 and negatives included.
// (1, "item", "items") -> "1 item"; 0 -> "0 items"; -1 -> "-1 items".
// The descriptions are used as given; empty ones leave "<quantity> ".
[[nodiscard]] QString stringWithQuantity(qint64 quantity, const QString &singular,
                                         const QString &plural);

} // namespace bf
