#include "strings/TimeRemaining.h"

#include "tests/support/Cases.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{

struct TimeCase {
    const char *name;
    double seconds;
    QString english;
    QString german;
};
using TimeRemaining = ::testing::TestWithParam<TimeCase>;

// In English without a translation, in German with the shipped one.
TEST_P(TimeRemaining, countsTheLargestWholeUnit)
{
    EXPECT_EQ(bf::stringForTimeInterval(GetParam().seconds), GetParam().english);
    QTranslator german; // removes itself when destroyed
    ASSERT_TRUE(german.load(u":/i18n/quillbox_de.qm"_qs));
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    EXPECT_EQ(bf::stringForTimeInterval(GetParam().seconds), GetParam().german);
}

constexpr double kDay = 86400.0;

const TimeCase kCases[] = {
    {"zero", 0.0, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
    {"fifthOfASecond", 0.2, u"1 second remaining"_qs, u"noch 1 Sekunde"_qs},
    {"justUnderAMinute", 59.5, u"60 seconds remaining"_qs, u"noch 60 Sekunden"_qs},
    {"oneMinute", 60.0, u"1 minute remaining"_qs, u"noch 1 Minute"_qs},
    {"secondShortOfAnHour", 3599.0, u"59 minutes remaining"_qs, u"noch 59 Minuten"_qs},
    {"oneHour", 3600.0, u"1 hour remaining"_qs, u"noch 1 Stunde"_qs},
    {"secondShortOfADay", kDay - 1, u"23 hours remaining"_qs, u"noch 23 Stunden"_qs},
    {"secondShortOfTwoDays", 2 * kDay - 1, u"1 day remaining"_qs, u"noch 1 Tag"_qs},
    {"negative", -30.0, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
    {"notANumber", std::nan(""), u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
    {"justBelow2To63Days", std::ldexp(1.0, 62) * kDay, u"4611686018427387904 days remaining"_qs,
     u"noch 4611686018427387904 Tage"_qs},
    {"2To63Days", std::ldexp(1.0, 63) * kDay, u"9223372036854775807 days remaining"_qs,
     u"noch 9223372036854775807 Tage"_qs},
    {"infinity", std::numeric_limits<double>::infinity(), u"9223372036854775807 days remaining"_qs,
     u"noch 9223372036854775807 Tage"_qs},
};
QUILLBOX_CASES(TimeRemaining, TimeCase, ::testing::ValuesIn(kCases));

// A translation that would crash a printf-style formatter.
class HostileTranslator : public QTranslator
{
  public:
    [[nodiscard]] bool isEmpty() const override { return false; }
    [[nodiscard]] QString translate(const char *context, const char *, const char *,
                                    int) const override
    {
        return qstrcmp(context, "BFExtensions") == 0 ? u"%s %n %ld %x %l%d %ld%%"_qs : QString();
    }
};

TEST(TimeRemainingTranslation, isShownAsWrittenWithOnlyTheCountFilledIn)
{
    HostileTranslator hostile;
    ASSERT_TRUE(QCoreApplication::installTranslator(&hostile));
    EXPECT_EQ(bf::stringForTimeInterval(3 * kDay), u"%s %n 3 %x %l%d 3%%");
    EXPECT_EQ(bf::stringForTimeInterval(1.0), u"%s %n 1 %x %l%d 1%%");
}

} // namespace
