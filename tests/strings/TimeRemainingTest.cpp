#include "strings/TimeRemaining.h"

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

void PrintTo(const TimeCase &c, std::ostream *os)
{
    *os << c.name;
}

class TimeRemaining : public ::testing::TestWithParam<TimeCase>
{
};

TEST_P(TimeRemaining, inEnglishWithoutTranslation)
{
    EXPECT_EQ(bf::stringForTimeInterval(GetParam().seconds), GetParam().english);
}

TEST_P(TimeRemaining, inGermanWithTheShippedTranslation)
{
    QTranslator german;
    ASSERT_TRUE(german.load(u":/i18n/quillbox_de.qm"_qs));
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    const QString text = bf::stringForTimeInterval(GetParam().seconds);
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(text, GetParam().german);
}

constexpr double kDay = 86400.0;
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeRemaining,
    ::testing::Values(
        TimeCase{"zero", 0.0, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
        TimeCase{"negativeZero", -0.0, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
        TimeCase{"fifthOfASecond", 0.2, u"1 second remaining"_qs, u"noch 1 Sekunde"_qs},
        TimeCase{"oneSecond", 1.0, u"1 second remaining"_qs, u"noch 1 Sekunde"_qs},
        TimeCase{"secondsRoundUp", 1.5, u"2 seconds remaining"_qs, u"noch 2 Sekunden"_qs},
        TimeCase{"justUnderAMinute", 59.5, u"60 seconds remaining"_qs, u"noch 60 Sekunden"_qs},
        TimeCase{"oneMinute", 60.0, u"1 minute remaining"_qs, u"noch 1 Minute"_qs},
        TimeCase{"justUnderTwoMinutes", 119.9, u"1 minute remaining"_qs, u"noch 1 Minute"_qs},
        TimeCase{"twoMinutes", 120.0, u"2 minutes remaining"_qs, u"noch 2 Minuten"_qs},
        TimeCase{"secondShortOfAnHour", 3599.0, u"59 minutes remaining"_qs, u"noch 59 Minuten"_qs},
        TimeCase{"oneHour", 3600.0, u"1 hour remaining"_qs, u"noch 1 Stunde"_qs},
        TimeCase{"justUnderTwoHours", 7199.9, u"1 hour remaining"_qs, u"noch 1 Stunde"_qs},
        TimeCase{"twoHours", 7200.0, u"2 hours remaining"_qs, u"noch 2 Stunden"_qs},
        TimeCase{"secondShortOfADay", kDay - 1, u"23 hours remaining"_qs, u"noch 23 Stunden"_qs},
        TimeCase{"oneDay", kDay, u"1 day remaining"_qs, u"noch 1 Tag"_qs},
        TimeCase{"secondShortOfTwoDays", 2 * kDay - 1, u"1 day remaining"_qs, u"noch 1 Tag"_qs},
        TimeCase{"twoDays", 2 * kDay, u"2 days remaining"_qs, u"noch 2 Tage"_qs},
        TimeCase{"negative", -30.0, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
        TimeCase{"negativeDay", -kDay - 1, u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
        TimeCase{"notANumber", std::nan(""), u"0 seconds remaining"_qs, u"noch 0 Sekunden"_qs},
        TimeCase{"justBelow2To63Days", std::ldexp(1.0, 62) * kDay,
                 u"4611686018427387904 days remaining"_qs, u"noch 4611686018427387904 Tage"_qs},
        TimeCase{"2To63Days", std::ldexp(1.0, 63) * kDay, u"9223372036854775807 days remaining"_qs,
                 u"noch 9223372036854775807 Tage"_qs},
        TimeCase{"infinity", kInf, u"9223372036854775807 days remaining"_qs,
                 u"noch 9223372036854775807 Tage"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

// A translation that would crash a printf-style formatter.
class HostileTranslator : public QTranslator
{
  public:
    explicit HostileTranslator(QString text) : text(std::move(text)) {}
    [[nodiscard]] bool isEmpty() const override { return false; }
    [[nodiscard]] QString translate(const char *context, const char *, const char *,
                                    int) const override
    {
        return qstrcmp(context, "BFExtensions") == 0 ? text : QString();
    }

  private:
    QString text;
};

TEST(TimeRemainingTranslation, isShownAsWrittenWithOnlyTheCountFilledIn)
{
    HostileTranslator hostile(u"%s %n %ld %x %l%d %ld%%"_qs);
    ASSERT_TRUE(QCoreApplication::installTranslator(&hostile));
    const QString days = bf::stringForTimeInterval(3 * kDay);
    const QString second = bf::stringForTimeInterval(1.0);
    QCoreApplication::removeTranslator(&hostile);
    EXPECT_EQ(days, u"%s %n 3 %x %l%d 3%%");
    EXPECT_EQ(second, u"%s %n 1 %x %l%d 1%%");
}

} // namespace
