#include "strings/TimeRemaining.h"

#include <QCoreApplication>

#include <array>
#include <cmath>
#include <limits>

namespace bf
{
namespace
{

struct Unit {
    double seconds;
    const char *singular;
    const char *plural;
};

// QT_TRANSLATE_NOOP lets lupdate find the keys. Largest unit first: each
// counts whole units of the whole interval, and the first nonzero count wins.
constexpr auto kWholeUnits = std::to_array<Unit>({
    {86400.0, QT_TRANSLATE_NOOP("BFExtensions", "%ld day remaining"),
     QT_TRANSLATE_NOOP("BFExtensions", "%ld days remaining")},
    {3600.0, QT_TRANSLATE_NOOP("BFExtensions", "%ld hour remaining"),
     QT_TRANSLATE_NOOP("BFExtensions", "%ld hours remaining")},
    {60.0, QT_TRANSLATE_NOOP("BFExtensions", "%ld minute remaining"),
     QT_TRANSLATE_NOOP("BFExtensions", "%ld minutes remaining")},
});

// Seconds are rounded up instead: 0.2 seconds is "1 second remaining".
constexpr Unit kSeconds = {1.0, QT_TRANSLATE_NOOP("BFExtensions", "%ld second remaining"),
                           QT_TRANSLATE_NOOP("BFExtensions", "%ld seconds remaining")};

// `value` (whole-numbered, not negative, possibly infinite) as a qint64;
// 2^63 and above saturate, since converting them would be undefined.
qint64 saturatedCount(double value)
{
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (value >= kTwoTo63)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(value);
}

} // namespace

QString stringForTimeInterval(double seconds)
{
    // "!(seconds > 0)" also catches NaN and -0.0.
    const double interval = seconds > 0.0 ? seconds : 0.0;

    const Unit *unit = &kSeconds;
    qint64 count = 0;
    for (const Unit &candidate : kWholeUnits) {
        count = saturatedCount(std::floor(interval / candidate.seconds));
        if (count != 0) {
            unit = &candidate;
            break;
        }
    }
    if (unit == &kSeconds)
        count = saturatedCount(std::ceil(interval));

    const char *phrase = count == 1 ? unit->singular : unit->plural;
    QString text = QCoreApplication::translate("BFExtensions", phrase);
    return text.replace(u"%ld"_qs, QString::number(count));
}

} // namespace bf
