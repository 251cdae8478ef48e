#include "strings/TextCleaning.h"

#include "tests/support/QtPrinting.h"
#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

namespace
{

struct CleanCase {
    const char *name;
    QString (*op)(const QString &);
    QString input;
    QString expected;
};
void PrintTo(const CleanCase &c, std::ostream *os)
{
    *os << c.name;
}
class Cleaning : public ::testing::TestWithParam<CleanCase>
{
};

TEST_P(Cleaning, givesExpectedText)
{
    EXPECT_EQ(GetParam().op(GetParam().input), GetParam().expected);
}

constexpr auto *flat = &bf::stringByRemovingNewlinesAndTabs;
constexpr auto *keepTabs = &bf::stringByRemovingNewlines;
constexpr auto *escape = &bf::stringByEscapingBackslashes;
constexpr auto *trim = &bf::stringByTrimmingWhitespace;

// Every white-space member (U+0009 and the Zs characters) and every line break.
const QString kSpaces = u"\t \u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008"
                        u"\u2009\u200A\u202F\u205F\u3000"_qs;
const QString kBreaks = u"\n\u000B\u000C\r\u0085\u2028\u2029"_qs;
const QString kOtherBreaks = u"\u000B\u000C\u0085\u2028\u2029"_qs; // never flattened
const QString kLone = QString(QChar(0xD83D));                      // a lone high surrogate

INSTANTIATE_TEST_SUITE_P(
    Cases, Cleaning,
    ::testing::Values(
        CleanCase{"flatEmpty", flat, u""_qs, u""_qs},
        CleanCase{"keepTabsEmpty", keepTabs, u""_qs, u""_qs},
        CleanCase{"escapeEmpty", escape, u""_qs, u""_qs},
        CleanCase{"trimEmpty", trim, u""_qs, u""_qs},
        CleanCase{"flatLines", flat, u"\tHello\r\nWorld\t\n"_qs, u"Hello  World"_qs},
        CleanCase{"keepTabsLines", keepTabs, u"\tHello\r\nWorld\t\n"_qs, u"Hello  World"_qs},
        CleanCase{"flatInnerTab", flat, u"a\tb\r\n"_qs, u"a b"_qs},
        CleanCase{"keepTabsInnerTab", keepTabs, u"a\tb\r\n"_qs, u"a\tb"_qs},
        CleanCase{"flatOnlyBlank", flat, u" \t\r\n \n"_qs, u""_qs},
        CleanCase{"trimOnlyBlank", trim, kSpaces + kBreaks, u""_qs},
        CleanCase{"flatAllSpaces", flat, kSpaces + u"a"_qs + kSpaces + u"b"_qs + kSpaces,
                  u"a "_qs + kSpaces.mid(1) + u"b"_qs},
        CleanCase{"keepTabsAllSpaces", keepTabs, kSpaces + u"a"_qs + kSpaces + u"b"_qs + kSpaces,
                  u"a"_qs + kSpaces + u"b"_qs},
        CleanCase{"flatOtherBreaksStay", flat, kOtherBreaks + u"a\nb"_qs + kOtherBreaks,
                  kOtherBreaks + u"a b"_qs + kOtherBreaks},
        CleanCase{"keepTabsOtherBreaksStay", keepTabs, u" "_qs + kOtherBreaks + u"\r"_qs,
                  kOtherBreaks},
        CleanCase{"trimAll", trim,
                  kBreaks + kSpaces + u"a"_qs + kBreaks + kSpaces + u"b"_qs + kBreaks,
                  u"a"_qs + kBreaks + kSpaces + u"b"_qs},
        // Zero-width space and BOM are not white space (QChar::isSpace() differs).
        CleanCase{"trimKeepsFormatChars", trim, u"\u200Ba\uFEFF"_qs, u"\u200Ba\uFEFF"_qs},
        CleanCase{"flatKeepsLoneSurrogate", flat, kLone + u"\n"_qs, kLone},
        CleanCase{"trimKeepsPairs", trim, u" \U0001F600 "_qs, u"\U0001F600"_qs},
        CleanCase{"escapeDoublesEachRun", escape, u"a\\b\\\\c"_qs, u"a\\\\b\\\\\\\\c"_qs},
        CleanCase{"escapeOnlyBackslash", escape, u"\\"_qs, u"\\\\"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

// Text free of the characters an operation acts on comes back unchanged.
TEST(CleaningProperty, textWithoutTargetsIsUnchanged)
{
    QRandomGenerator rng(20261206);
    const QStringList pieces = {u"a"_qs,      u"Z"_qs,      u"\""_qs,        u"\u00E9"_qs,
                                u"\u0301"_qs, u"\u200B"_qs, u"\u000B"_qs,    u"\u2028"_qs,
                                u"\uFFFC"_qs, kLone,        u"\U0001F600"_qs};
    for (int round = 0; round < 500; ++round) {
        QString s;
        for (int n = rng.bounded(12); n > 0; --n)
            s += pieces[rng.bounded(int(pieces.size()))];
        EXPECT_EQ(flat(s), s);
        EXPECT_EQ(keepTabs(s), s);
        EXPECT_EQ(escape(s), s);
        // U+000B and U+2028 are line breaks, which trimming acts on.
        if (!s.contains(u'\u000B') && !s.contains(u'\u2028')) {
            EXPECT_EQ(trim(s), s);
        }
    }
}

} // namespace
