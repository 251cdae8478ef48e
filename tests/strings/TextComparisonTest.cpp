#include "strings/TextComparison.h"

#include "tests/support/Cases.h"
#include "tests/support/QtPrinting.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>
#include <string>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace
{

// Two texts, and whether they are equal, whether `text` starts or ends with
// `other` (cut by code units) and whether it contains `other` (on character
// boundaries).
struct CompareCase {
    const char *name;
    QStringView text;
    QStringView other;
    bool equal;
    bool starts;
    bool ends;
    bool contains;
};
using Comparison = ::testing::TestWithParam<CompareCase>;

TEST_P(Comparison, matchesWholeTextAffixesAndCharacters)
{
    const CompareCase &c = GetParam();
    EXPECT_EQ(bf::isCaseInsensitiveEqualToString(c.text, c.other), c.equal);
    EXPECT_EQ(bf::isCaseInsensitiveEqualToString(c.other, c.text), c.equal);
    EXPECT_EQ(bf::startsWith(c.text, c.other), c.starts);
    EXPECT_EQ(bf::endsWith(c.text, c.other), c.ends);
    EXPECT_EQ(bf::containsString(c.text, c.other), c.contains);
}

// Longer than one chunk of the search, with the marked text after the cut.
const QString kLong = QString(255, u'x') + u"e\u0301 \u00DF \uAC00 \U00010400"_qs;

// clang-format off
const CompareCase kCases[] = {
    // name, text, other: equal, starts, ends, contains; "\xD83D" is half a pair
    {"empty",             u"",                      u"",                true,  true,  true,  false},
    {"emptyOther",        u"Report",                u"",                false, true,  true,  false},
    {"asciiCase",         u"Report.PDF",            u"report",          false, true,  false, true},
    {"longerByMark",      u"abc\u0301",             u"abc",             false, true,  false, false},
    {"reorderedMarks",    u"a\u0345\u0316",         u"a\u0316\u0345",   true,  true,  true,  true},
    {"composedAfterCut",  u"e\u0301x",              u"\u00C9",          false, false, false, true},
    {"markedEnd",         u"xe\u0301",              u"E\u0301",         false, false, true,  true},
    {"notInsideMark",     u"e\u0301",               u"e",               false, true,  false, false},
    {"laterMatch",        u"e\u0301 E",             u"e",               false, true,  true,  true},
    {"outsideBmp",        u"\U00010400x\U00010400", u"\U00010428",      false, true,  true,  true},
    {"loneHalfOfPair",    u"\U0001F600",            u"\xD83D",          false, true,  false, false},
    {"loneSurrogate",     u"a\xD83D" u"b",          u"\xD83D" u"B",     false, false, true,  true},
    {"longMarked",        kLong,                    u"E\u0301 SS",      false, false, false, true},
    {"longNotInsideMark", kLong,                    u"xe",              false, false, false, false},
};
// clang-format on
QUILLBOX_CASES(Comparison, CompareCase, ::testing::ValuesIn(kCases));

const icu::Normalizer2 &nfd()
{
    UErrorCode status = U_ZERO_ERROR;
    return *icu::Normalizer2::getNFDInstance(status);
}

icu::UnicodeString toIcu(const QString &s)
{
    return {s.utf16(), int32_t(s.size())};
}

// The reference: ICU's bulk NFD(fold(NFD(s))), the way the rule is written.
icu::UnicodeString referenceKey(const icu::UnicodeString &s)
{
    UErrorCode status = U_ZERO_ERROR;
    return nfd().normalize(nfd().normalize(s, status).foldCase(U_FOLD_CASE_DEFAULT), status);
}

// Brute force over every part of `text` between two character boundaries:
// the ends, and before every code point that has an NFD boundary before it
// and is not the second half of a pair.
bool referenceContains(const QString &qtext, const QString &needle)
{
    const icu::UnicodeString text = toIcu(qtext);
    const auto isBoundary = [&text](int32_t i) {
        return i == 0 || i == text.length() ||
               (text.getChar32Start(i) == i && nfd().hasBoundaryBefore(text.char32At(i)));
    };
    for (int32_t i = 0; i < text.length(); ++i)
        for (int32_t j = i + 1; j <= text.length(); ++j)
            if (isBoundary(i) && isBoundary(j) &&
                referenceKey(text.tempSubStringBetween(i, j)) == referenceKey(toIcu(needle)))
                return true;
    return false;
}

// Pieces in classes of caselessly equal spellings; generated pairs of strings
// take each piece from one class, mostly the same one.
// clang-format off
const QList<QStringList> kClasses = {
    {u"a"_qs, u"A"_qs}, {u"k"_qs, u"K"_qs, u"\u212A"_qs}, {u" "_qs}, {u"e"_qs}, {u"s"_qs},
    {u"\u00E9"_qs, u"\u00C9"_qs, u"e\u0301"_qs, u"E\u0301"_qs}, {u"\u0301"_qs},
    {u"\u0316\u0345"_qs, u"\u0345\u0316"_qs}, {u"\u00DF"_qs, u"\u1E9E"_qs, u"ss"_qs, u"Ss"_qs},
    {u"\u03A3"_qs, u"\u03C3"_qs, u"\u03C2"_qs}, {u"\u0130"_qs, u"i\u0307"_qs}, {u"\u0131"_qs},
    {u"\uAC00"_qs, u"\u1100\u1161"_qs}, {u"\u1100"_qs}, {u"\u1F80"_qs, u"\u1F88"_qs},
    {u"\U00010400"_qs, u"\U00010428"_qs}, {u"\U0001F600"_qs},
    // the halves of U+1F600, alone
    {QString(QChar(0xD83D))}, {QString(QChar(0xDE00))}, {u"\uFFFC"_qs}};
// clang-format on

TEST(ComparisonProperty, agreesWithReferenceOnGeneratedText)
{
    QRandomGenerator rng(3);
    for (int round = 0; round < 400; ++round) {
        QString a;
        QString b;
        for (int n = rng.bounded(7); n > 0; --n) {
            const QStringList &ca = kClasses[rng.bounded(int(kClasses.size()))];
            const QStringList &cb =
                rng.bounded(8) == 0 ? kClasses[rng.bounded(int(kClasses.size()))] : ca;
            a += ca[rng.bounded(int(ca.size()))];
            b += cb[rng.bounded(int(cb.size()))];
        }
        SCOPED_TRACE(testing::Message() << "round " << round);
        EXPECT_EQ(bf::isCaseInsensitiveEqualToString(a, b),
                  referenceKey(toIcu(a)) == referenceKey(toIcu(b)));
        const qsizetype from = rng.bounded(int(b.size()) + 1);
        const QString needle = b.mid(from, rng.bounded(int(b.size() - from) + 1));
        EXPECT_EQ(bf::containsString(a, needle), !needle.isEmpty() && referenceContains(a, needle));
        // The same text behind a long run spreads it over the search's chunks.
        const QString filler(240 + rng.bounded(20), u'x');
        EXPECT_EQ(bf::containsString(filler + a, needle),
                  !needle.isEmpty() && referenceContains(u"x"_qs + a, needle));
    }
}

} // namespace
