#include "strings/TextHeight.h"

#include <QGuiApplication>
#include <QImage>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace
{

using bf::heightOfStringWithMaxWidth;
using bf::TextAttributes;
using bf::WrapMode;

constexpr double kWide = 10000.0;

// The width that `text` needs on one line in the default font, in points
// (72 dpi), as the layout engine measures it.
double naturalWidth(const QString &text)
{
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(2835);
    device.setDotsPerMeterY(2835);
    QTextLayout layout(text, QGuiApplication::font(), &device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(kWide);
    layout.endLayout();
    return line.naturalTextWidth();
}

TEST(TextHeight, growsByOneLineHeightPerLine)
{
    const double one = heightOfStringWithMaxWidth(u"Ag"_qs, kWide);
    ASSERT_GT(one, 0.0);
    EXPECT_EQ(heightOfStringWithMaxWidth(u""_qs, kWide), 0.0);
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag\nAg"_qs, kWide), 2 * one);
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag\r\nAg\rAg"_qs, kWide), 3 * one);
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag\u2029Ag\u2028"_qs, kWide), 3 * one);
    // The default attributes are the empty set.
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag"_qs, kWide, TextAttributes{}), one);
}

TEST(TextHeight, usesTheWholeWidthWithNoInset)
{
    const QString text = u"xxxxxxxxxx"_qs;
    const double one = heightOfStringWithMaxWidth(text, kWide);
    const double width = naturalWidth(text);
    EXPECT_EQ(heightOfStringWithMaxWidth(text, width + 0.01), one);
    EXPECT_GT(heightOfStringWithMaxWidth(text, width - 1.0), one);
    EXPECT_GT(heightOfStringWithMaxWidth(text, 0.0), 9 * one);
}

struct WrapCase {
    const char *name;
    WrapMode mode;
    int lines;
};

void PrintTo(const WrapCase &c, std::ostream *os)
{
    *os << c.name;
}

class Wrapping : public ::testing::TestWithParam<WrapCase>
{
};

// Four ten-letter words at a width of 19.5 letters: one word per line when
// breaking between words, 19 letters per line when breaking anywhere.
TEST_P(Wrapping, breaksWhereTheModeAllows)
{
    const QString word = u"xxxxxxxxxx"_qs;
    const QString text = QStringList{word, word, word, word}.join(u' ');
    TextAttributes attributes;
    attributes.wrapMode = GetParam().mode;
    const double one = heightOfStringWithMaxWidth(word, kWide, attributes);
    const double width = naturalWidth(QString(19, u'x')) + naturalWidth(u"x"_qs) / 2;
    EXPECT_EQ(heightOfStringWithMaxWidth(text, width, attributes), GetParam().lines * one);
}

INSTANTIATE_TEST_SUITE_P(Cases, Wrapping,
                         ::testing::Values(WrapCase{"atWords", WrapMode::AtWordBoundaries, 4},
                                           WrapCase{"anywhere", WrapMode::Anywhere, 3}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TextHeight, honoursFontSizeLineHeightAndSpacing)
{
    TextAttributes small;
    small.fontFamily = u"DejaVu Sans"_qs;
    small.pointSize = 10.0;
    TextAttributes large = small;
    large.pointSize = 20.0;
    const double smallLine = heightOfStringWithMaxWidth(u"Ag"_qs, kWide, small);
    const double largeLine = heightOfStringWithMaxWidth(u"Ag"_qs, kWide, large);
    EXPECT_NEAR(largeLine / smallLine, 2.0, 0.1);

    TextAttributes fixed = small;
    fixed.lineHeight = 12.25;
    EXPECT_EQ(heightOfStringWithMaxWidth(u"a\nb\nc"_qs, kWide, fixed), 3 * 12.25);
    fixed.lineSpacing = 2.5;
    EXPECT_EQ(heightOfStringWithMaxWidth(u"a\nb\nc"_qs, kWide, fixed), 3 * 12.25 + 2 * 2.5);

    TextAttributes spaced = small;
    spaced.lineSpacing = 4.0;
    EXPECT_EQ(heightOfStringWithMaxWidth(u"a\nb"_qs, kWide, spaced), 2 * smallLine + 4.0);
}

} // namespace
