#include "strings/TextHeight.h"

#include <QGuiApplication>
#include <QImage>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace
{

using bf::heightOfStringWithMaxWidth;
using bf::TextAttributes;

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

// Line breaks of every kind start a line. The whole width holds a line: no
// inset at the ends. Four ten-letter words at a width of 19.5 letters take one
// line each when breaking between words, and three lines of up to 19 letters
// when breaking anywhere.
TEST(TextHeight, growsByOneLineHeightPerLineWrappingWhereTheModeAllows)
{
    const QString word = u"xxxxxxxxxx"_qs;
    const double one = heightOfStringWithMaxWidth(word, kWide);
    ASSERT_GT(one, 0.0);
    EXPECT_EQ(heightOfStringWithMaxWidth(u""_qs, kWide), 0.0);
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag\r\nAg\rAg\nAg"_qs, kWide), 4 * one);
    EXPECT_EQ(heightOfStringWithMaxWidth(u"Ag\u2029Ag\u2028"_qs, kWide), 3 * one);

    EXPECT_EQ(heightOfStringWithMaxWidth(word, naturalWidth(word) + 0.01), one);
    EXPECT_GT(heightOfStringWithMaxWidth(word, naturalWidth(word) - 1.0), one);
    EXPECT_GT(heightOfStringWithMaxWidth(word, 0.0), 9 * one);
    const QString text = QStringList{word, word, word, word}.join(u' ');
    const double width = naturalWidth(QString(19, u'x')) + naturalWidth(u"x"_qs) / 2;
    TextAttributes anywhere;
    anywhere.wrapMode = bf::WrapMode::Anywhere;
    EXPECT_EQ(heightOfStringWithMaxWidth(text, width), 4 * one);
    EXPECT_EQ(heightOfStringWithMaxWidth(text, width, anywhere), 3 * one);
    // A line height and the spacing between lines replace the font's own.
    TextAttributes spaced;
    spaced.lineSpacing = 2.5;
    EXPECT_EQ(heightOfStringWithMaxWidth(u"a\nb"_qs, kWide, spaced), 2 * one + 2.5);
    spaced.lineHeight = 12.25;
    EXPECT_EQ(heightOfStringWithMaxWidth(u"a\nb\nc"_qs, kWide, spaced), 3 * 12.25 + 2 * 2.5);
}

} // namespace
