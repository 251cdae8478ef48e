#include "strings/TextCleaning.h"

#include "tests/support/Cases.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace
{

struct CleanCase {
    const char *name;
    QString (*op)(const QString &);
    QString input;
    QString expected;
};
using Cleaning = ::testing::TestWithParam<CleanCase>;

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
// Characters no operation acts on, lone surrogates at the ends. Zero-width
// space and BOM are not white space, though QChar::isSpace() says otherwise.
const QString kLone = QString(QChar(0xD83D));
const QString kOthers = kLone + u"a\"\u00E9\u0301\u200B\uFEFF\uFFFC\U0001F600"_qs + kLone;

const CleanCase kCases[] = {
    {"flatLines", flat, u"\ta\tb\r\nc\t\n"_qs, u"a b  c"_qs},
    {"keepTabsLines", keepTabs, u"\ta\tb\r\nc\t\n"_qs, u"a\tb  c"_qs},
    {"trimOnlyBlank", trim, kSpaces + kBreaks, u""_qs},
    {"flatAllSpaces", flat, kSpaces + u"a"_qs + kSpaces + u"b"_qs + kSpaces,
     u"a "_qs + kSpaces.mid(1) + u"b"_qs},
    {"flatOtherBreaksStay", flat, kOtherBreaks + u"a\nb"_qs + kOtherBreaks,
     kOtherBreaks + u"a b"_qs + kOtherBreaks},
    {"trimAll", trim, kBreaks + kSpaces + u"a"_qs + kBreaks + kSpaces + u"b"_qs + kBreaks,
     u"a"_qs + kBreaks + kSpaces + u"b"_qs},
    {"escapeDoublesEachRun", escape, u"a\\b\\\\c"_qs, u"a\\\\b\\\\\\\\c"_qs},
    {"flatKeepsOthers", flat, kOthers + u"\n"_qs, kOthers},
    {"trimKeepsOthers", trim, u" "_qs + kOthers, kOthers},
};
QUILLBOX_CASES(Cleaning, CleanCase, ::testing::ValuesIn(kCases));

} // namespace
