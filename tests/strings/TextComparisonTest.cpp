#include "strings/TextComparison.h"

#include "tests/support/QtPrinting.h"
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>
#include <string>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace
{

const QString kHigh = QString(QChar(0xD83D)); // halves of U+1F600, alone
const QString kLow = QString(QChar(0xDE00));

// Name the case, not its bytes, in test listings.
template<typename Case> void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

struct EqualCase {
    const char *name;
    QString a;
    QString b;
    bool equal;
};
void PrintTo(const EqualCase &c, std::ostream *os)
{
    *os << c.name;
}
class Equality : public ::testing::TestWithParam<EqualCase>
{
};

TEST_P(Equality, isSymmetricAndAsExpected)
{
    EXPECT_EQ(bf::isCaseInsensitiveEqualToString(GetParam().a, GetParam().b), GetParam().equal);
    EXPECT_EQ(bf::isCaseInsensitiveEqualToString(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Equality,
    ::testing::Values(
        EqualCase{"empty", u""_qs, u""_qs, true}, EqualCase{"emptyAndText", u""_qs, u"a"_qs, false},
        EqualCase{"asciiCase", u"ABC"_qs, u"abc"_qs, true},
        EqualCase{"longerByMark", u"abc"_qs, u"abc\u0301"_qs, false},
        EqualCase{"composedSmall", u"\u00E9"_qs, u"e\u0301"_qs, true},
        EqualCase{"composedCapital", u"\u00C9"_qs, u"e\u0301"_qs, true},
        EqualCase{"asciiThenComposed", u"caf\u00E9 au LAIT"_qs, u"CAFE\u0301 au lait"_qs, true},
        EqualCase{"asciiDiffersAfterMark", u"\u00E9 a"_qs, u"\u00E9 b"_qs, false},
        EqualCase{"ypogegrammeniReordered", u"a\u0345\u0316"_qs, u"a\u0316\u0345"_qs, true},
        EqualCase{"kelvin", u"K"_qs, u"\u212A"_qs, true},
        EqualCase{"sharpS", u"STRASSE"_qs, u"stra\u00DFe"_qs, true},
        EqualCase{"dottedCapitalI", u"\u0130"_qs, u"i\u0307"_qs, true},
        EqualCase{"noTurkicRules", u"I"_qs, u"\u0131"_qs, false},
        EqualCase{"finalSigma", u"\u03A3\u03C3"_qs, u"\u03C2\u03A3"_qs, true},
        EqualCase{"deseret", u"\U00010400"_qs, u"\U00010428"_qs, true},
        EqualCase{"loneSurrogate", u"a"_qs + kHigh, u"A"_qs + kHigh, true},
        EqualCase{"loneHighAndLow", kHigh, kLow, false}),
    [](const auto &info) { return std::string(info.param.name); });

struct AffixCase {
    const char *name;
    QString text;
    QString affix;
    bool starts;
    bool ends;
};
void PrintTo(const AffixCase &c, std::ostream *os)
{
    *os << c.name;
}
class Affix : public ::testing::TestWithParam<AffixCase>
{
};

TEST_P(Affix, cutsByCodeUnits)
{
    EXPECT_EQ(bf::startsWith(GetParam().text, GetParam().affix), GetParam().starts);
    EXPECT_EQ(bf::endsWith(GetParam().text, GetParam().affix), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Affix,
    ::testing::Values(AffixCase{"emptyBoth", u""_qs, u""_qs, true, true},
                      AffixCase{"emptyAffix", u"Report"_qs, u""_qs, true, true},
                      AffixCase{"emptyText", u""_qs, u"a"_qs, false, false},
                      AffixCase{"prefix", u"Report.PDF"_qs, u"report"_qs, true, false},
                      AffixCase{"suffix", u"Report.PDF"_qs, u".pdf"_qs, false, true},
                      AffixCase{"textShorter", u"PDF"_qs, u".pdf"_qs, false, false},
                      AffixCase{"cutBeforeMark", u"e\u0301x"_qs, u"\u00E9"_qs, false, false},
                      AffixCase{"markedEnd", u"xe\u0301"_qs, u"E\u0301"_qs, false, true},
                      AffixCase{"outsideBmp", u"\U00010400x\U00010400"_qs, u"\U00010428"_qs, true,
                                true},
                      AffixCase{"cutSplitsPair", u"\U0001F600"_qs, u"x"_qs, false, false},
                      AffixCase{"loneHalves", u"\U0001F600"_qs, kHigh, true, false},
                      AffixCase{"loneLowEnd", u"a\U0001F600"_qs, kLow, false, true}),
    [](const auto &info) { return std::string(info.param.name); });

struct SearchCase {
    const char *name;
    QString text;
    QString needle;
    bool found;
};
void PrintTo(const SearchCase &c, std::ostream *os)
{
    *os << c.name;
}
class Search : public ::testing::TestWithParam<SearchCase>
{
};

TEST_P(Search, matchesWholeCharacters)
{
    EXPECT_EQ(bf::containsString(GetParam().text, GetParam().needle), GetParam().found);
}

const QString kLong = QString(255, u'x') + u"e\u0301 \u00DF \uAC00 \U00010400"_qs;

INSTANTIATE_TEST_SUITE_P(
    Cases, Search,
    ::testing::Values(SearchCase{"emptyNeedle", u"abc"_qs, u""_qs, false},
                      SearchCase{"emptyText", u""_qs, u"a"_qs, false},
                      SearchCase{"asciiCase", u"Hello World"_qs, u"WORLD"_qs, true},
                      SearchCase{"notInsideMark", u"e\u0301"_qs, u"e"_qs, false},
                      SearchCase{"laterMatch", u"e\u0301 E"_qs, u"e"_qs, true},
                      SearchCase{"notBeforeMoreMarks", u"e\u0301\u0302"_qs, u"e\u0301"_qs, false},
                      SearchCase{"composedFound", u"CAFE\u0301 noir"_qs, u"\u00E9 N"_qs, true},
                      SearchCase{"notHalfSharpS", u"\u00DF"_qs, u"s"_qs, false},
                      SearchCase{"sharpSAsSs", u"Stra\u00DFe"_qs, u"ASS"_qs, true},
                      SearchCase{"sharpSInAscii", u"strasse"_qs, u"\u00DF"_qs, true},
                      SearchCase{"kelvinInAscii", u"ok"_qs, u"\u212A"_qs, true},
                      SearchCase{"notHalfHangul", u"\uAC00"_qs, u"\u1100"_qs, false},
                      SearchCase{"jamoSpelled", u"x\u1100\u1161"_qs, u"\uAC00"_qs, true},
                      SearchCase{"outsideBmp", u"x\U00010400y"_qs, u"\U00010428Y"_qs, true},
                      SearchCase{"loneHalfOfPair", u"a\U0001F600"_qs, kHigh, false},
                      SearchCase{"loneSurrogate", u"a"_qs + kHigh + u"b"_qs, kHigh + u"B"_qs, true},
                      SearchCase{"longMarked", kLong, u"E\u0301 SS"_qs, true},
                      SearchCase{"longNotInsideMark", kLong, u"xe"_qs, false},
                      SearchCase{"longEnd", kLong, u"\uAC00 \U00010428"_qs, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextAttachment, foundAnywhere)
{
    EXPECT_FALSE(bf::containsTextAttachmentCharacter(u""_qs));
    EXPECT_FALSE(bf::containsTextAttachmentCharacter(u"ab\uFFFD\U0001F600"_qs));
    EXPECT_TRUE(bf::containsTextAttachmentCharacter(u"\uFFFC"_qs));
    EXPECT_TRUE(bf::containsTextAttachmentCharacter(u"a\U0001F600\uFFFCb"_qs));
}

// The reference: ICU's bulk NFD(fold(NFD(s))), the way the rule is written.
std::u16string referenceKey(const QString &s)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString text(s.utf16(), int32_t(s.size()));
    icu::UnicodeString folded = nfd->normalize(text, status).foldCase(U_FOLD_CASE_DEFAULT);
    const icu::UnicodeString key = nfd->normalize(folded, status);
    return {key.getBuffer(), size_t(key.length())};
}

// Character boundaries: the ends, and before every code point that has an
// NFD boundary before it and is not the second half of a pair.
bool isBoundary(const QString &s, qsizetype i)
{
    if (i == 0 || i == s.size())
        return true;
    if (s[i].isLowSurrogate() && s[i - 1].isHighSurrogate())
        return false;
    UErrorCode status = U_ZERO_ERROR;
    const char32_t c = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()
                           ? QChar::surrogateToUcs4(s[i], s[i + 1])
                           : s[i].unicode();
    return icu::Normalizer2::getNFDInstance(status)->hasBoundaryBefore(UChar32(c));
}

bool referenceContains(const QString &text, const QString &needle)
{
    const std::u16string key = referenceKey(needle);
    for (qsizetype i = 0; i < text.size(); ++i)
        for (qsizetype j = i + 1; j <= text.size(); ++j)
            if (isBoundary(text, i) && isBoundary(text, j) &&
                referenceKey(text.sliced(i, j - i)) == key)
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
    {u"\U00010400"_qs, u"\U00010428"_qs}, {u"\U0001F600"_qs}, {kHigh}, {kLow}, {u"\uFFFC"_qs}};
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
        const bool equal = bf::isCaseInsensitiveEqualToString(a, b);
        EXPECT_EQ(equal, bf::isCaseInsensitiveEqualToString(b, a));
        EXPECT_EQ(equal, referenceKey(a) == referenceKey(b));
        for (qsizetype n = 0; n <= a.size(); ++n) {
            if (!isBoundary(a, n) && a[n].isLowSurrogate())
                continue; // this cut would split a pair
            EXPECT_TRUE(bf::startsWith(a, a.first(n)));
            EXPECT_TRUE(bf::endsWith(a, a.last(a.size() - n)));
        }
        const qsizetype from = rng.bounded(int(b.size()) + 1);
        const QString needle = b.mid(from, rng.bounded(int(b.size() - from) + 1));
        EXPECT_EQ(bf::containsString(a, needle), !needle.isEmpty() && referenceContains(a, needle));
        // The same text behind a long run spreads it over the search's chunks.
        const QString filler(240 + rng.bounded(20), u'x');
        EXPECT_EQ(bf::containsString(filler + a, needle),
                  !needle.isEmpty() && referenceContains(u"x"_qs + a, needle));
    }
}

// The search relies on three facts of the Unicode data; check them for every
// code point, so that an ICU update that breaks one fails here.
TEST(ComparisonProperty, unicodeDataHoldsWhatTheSearchAssumes)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        icu::UnicodeString decomposed;
        if (!nfd->getDecomposition(c, decomposed))
            decomposed = icu::UnicodeString(c);
        icu::UnicodeString folded = decomposed;
        folded.foldCase(U_FOLD_CASE_DEFAULT);
        // Only U+0345 among the combining marks changes when folded ...
        if (u_getCombiningClass(c) != 0 && c != 0x0345) {
            EXPECT_EQ(folded, decomposed) << c;
        }
        // ... and it hides in no decomposition outside U+1F80..U+1FFF.
        if (decomposed.indexOf(char16_t(0x0345)) >= 0) {
            EXPECT_TRUE(c == 0x0345 || (c >= 0x1F80 && c <= 0x1FFF)) << c;
        }
        // Folding a starter gives a text that starts with a starter.
        if (nfd->hasBoundaryBefore(c)) {
            EXPECT_TRUE(nfd->hasBoundaryBefore(folded.char32At(0))) << c;
        }
    }
}

} // namespace
