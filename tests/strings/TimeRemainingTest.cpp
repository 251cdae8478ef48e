#include "strings/TimeRemaining.h"

#include "tests/support/Cases.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

struct TimeCase {
    const char *name;
    double seconds;
    QString text;
};
using TimeRemaining = ::testing::TestWithParam<TimeCase>;

TEST_P(TimeRemaining, countsTheLargestWholeUnit)
{
    EXPECT_EQ(bf::stringForTimeInterval(GetParam().seconds), GetParam().text);
}

constexpr double kDay = 86400.0;

const TimeCase kCases[] = {
    {"fifthOfASecond", 0.2, u"1 second remaining"_qs},
    {"justUnderAMinute", 59.5, u"60 seconds remaining"_qs},
    {"oneMinute", 60.0, u"1 minute remaining"_qs},
    {"secondShortOfTwoDays", 2 * kDay - 1, u"1 day remaining"_qs},
    {"notANumber", std::nan(""), u"0 seconds remaining"_qs},
    {"justBelow2To63Days", std::ldexp(1.0, 62) * kDay, u"4611686018427387904 days remaining"_qs},
    {"2To63Days", std::ldexp(1.0, 63) * kDay, u"9223372036854775807 days remaining"_qs},
};
QUILLBOX_CASES(TimeRemaining, TimeCase, ::testing::ValuesIn(kCases));

} // namespace
