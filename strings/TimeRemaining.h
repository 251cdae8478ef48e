#pragma once

#include <QString>

namespace bf
{

// A phrase telling the time remaining for `seconds`, in one unit only:
//   t >= 86400       "%ld days remaining", floor(t / 86400) days
//   t >= 3600        "%ld hours remaining", floor(t / 3600) hours
//   t >= 60          "%ld minutes remaining", floor(t / 60) minutes
//   otherwise        "%ld seconds remaining", ceil(t) seconds
// with the singular phrase ("%ld day remaining", ...) for a count of exactly
// 1. So 59.5 gives "60 seconds remaining" and 119.9 "1 minute remaining".
// Negative intervals and NaN count as 0: "0 seconds remaining". A day count
// of 2^63 or more, or an infinite interval, gives the largest qint64.
//
// The phrase is the translation key in context "BFExtensions", looked up on
// each call through QCoreApplication::translate(); without a translation the
// English phrase is used. Every "%ld" in the phrase is replaced by the count
// in decimal; nothing else in it is interpreted, so a translation holding
// "%s" or "%n" is shown as written.
[[nodiscard]] QString stringForTimeInterval(double seconds);

} // namespace bf
