#include "strings/TextCleaning.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace
{

enum class Op { Flatten, FlattenKeepTabs, Escape, Trim };

struct CleanCase {
    const char *name;
    Op op;
    QString input;
    QString expected;
};

void PrintTo(const CleanCase &c, std::ostream *os)
{
    *os << c.name;
}

QString apply(Op op, const QString &s)
{
    switch (op) {
    case Op::Flatten:
        return bf::stringByRemovingNewlinesAndTabs(s);
    case Op::FlattenKeepTabs:
        return bf::stringByRemovingNewlines(s);
    case Op::Escape:
        return bf::stringByEscapingBackslashes(s);
    case Op::Trim:
        return bf::stringByTrimmingWhitespace(s);
    }
    return {};
}

class Cleaning : public ::testing::TestWithParam<CleanCase>
{
};

TEST_P(Cleaning, givesExpectedText)
{
    EXPECT_EQ(apply(GetParam().op, GetParam().input), GetParam().expected);
}

// Every white-space member (U+0009 and the Zs characters) and every line break.
const QString kSpaces = u"\t \u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008"
                        u"\u2009\u200A\u202F\u205F\u3000"_qs;
const QString kBreaks = u"\n\u000B\u000C\r\u0085\u2028\u2029"_qs;
const QString kOtherBreaks = u"\u000B\u000C\u0085\u2028\u2029"_qs; // never flattened
const QString kLone = QString(QChar(0xD83D));                      // a lone high surrogate

INSTANTIATE_TEST_SUITE_P(
    Cases, Cleaning,
    ::testing::Values(
        CleanCase{"flattenEmpty", Op::Flatten, u""_qs, u""_qs},
        CleanCase{"keepTabsEmpty", Op::FlattenKeepTabs, u""_qs, u""_qs},
        CleanCase{"escapeEmpty", Op::Escape, u""_qs, u""_qs},
        CleanCase{"trimEmpty", Op::Trim, u""_qs, u""_qs},
        CleanCase{"flattenLines", Op::Flatten, u"\tHello\r\nWorld\t\n"_qs, u"Hello  World"_qs},
        CleanCase{"keepTabsLines", Op::FlattenKeepTabs, u"\tHello\r\nWorld\t\n"_qs,
                  u"Hello  World"_qs},
        CleanCase{"flattenInnerTab", Op::Flatten, u"a\tb\r\n"_qs, u"a b"_qs},
        CleanCase{"keepTabsInnerTab", Op::FlattenKeepTabs, u"a\tb\r\n"_qs, u"a\tb"_qs},
        CleanCase{"flattenOnlyBlank", Op::Flatten, u" \t\r\n \n"_qs, u""_qs},
        CleanCase{"keepTabsOnlyBlank", Op::FlattenKeepTabs, u" \t\r\n \n"_qs, u""_qs},
        CleanCase{"trimOnlyBlank", Op::Trim, kSpaces + kBreaks, u""_qs},
        CleanCase{"flattenAllSpaces", Op::Flatten, kSpaces + u"a"_qs + kSpaces + u"b"_qs + kSpaces,
                  u"a "_qs + kSpaces.mid(1) + u"b"_qs},
        CleanCase{"keepTabsAllSpaces", Op::FlattenKeepTabs,
                  kSpaces + u"a"_qs + kSpaces + u"b"_qs + kSpaces, u"a"_qs + kSpaces + u"b"_qs},
        CleanCase{"flattenOtherBreaksStay", Op::Flatten, kOtherBreaks + u"a\nb"_qs + kOtherBreaks,
                  kOtherBreaks + u"a b"_qs + kOtherBreaks},
        CleanCase{"keepTabsOtherBreaksStay", Op::FlattenKeepTabs, u" "_qs + kOtherBreaks + u"\r"_qs,
                  kOtherBreaks},
        CleanCase{"trimAll", Op::Trim,
                  kBreaks + kSpaces + u"a"_qs + kBreaks + kSpaces + u"b"_qs + kBreaks + kSpaces,
                  u"a"_qs + kBreaks + kSpaces + u"b"_qs},
        // Neither zero-width space nor BOM is white space (QChar::isSpace() differs).
        CleanCase{"trimKeepsFormatChars", Op::Trim, u"\u200Ba\uFEFF"_qs, u"\u200Ba\uFEFF"_qs},
        CleanCase{"flattenKeepsLoneSurrogate", Op::Flatten, kLone + u"\n"_qs, kLone},
        CleanCase{"trimKeepsPairs", Op::Trim, u" \U0001F600 "_qs, u"\U0001F600"_qs},
        CleanCase{"escapeDoublesEachRun", Op::Escape, u"a\\b\\\\c"_qs, u"a\\\\b\\\\\\\\c"_qs},
        CleanCase{"escapeLeavesQuotes", Op::Escape, u"\"\n\t'\U0001F600"_qs,
                  u"\"\n\t'\U0001F600"_qs},
        CleanCase{"escapeOnlyBackslash", Op::Escape, u"\\"_qs, u"\\\\"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

// Text free of the characters an operation acts on comes back unchanged.
TEST(CleaningProperty, textWithoutTargetsIsUnchanged)
{
    QRandomGenerator rng(20261206);
    const QStringList pieces = {u"a"_qs,      u"Z"_qs,      u"."_qs,         u"\u00E9"_qs,
                                u"\u0301"_qs, u"\u200B"_qs, u"\u000B"_qs,    u"\u2028"_qs,
                                u"\uFFFC"_qs, kLone,        u"\U0001F600"_qs};
    for (int round = 0; round < 500; ++round) {
        QString s;
        for (int n = rng.bounded(12); n > 0; --n)
            s += pieces[rng.bounded(int(pieces.size()))];
        EXPECT_EQ(bf::stringByRemovingNewlinesAndTabs(s), s);
        EXPECT_EQ(bf::stringByRemovingNewlines(s), s);
        EXPECT_EQ(bf::stringByEscapingBackslashes(s), s);
        // U+000B and U+2028 are line breaks, which trimming acts on.
        if (!s.contains(u'\u000B') && !s.contains(u'\u2028')) {
            EXPECT_EQ(bf::stringByTrimmingWhitespace(s), s);
        }
    }
}

} // namespace
