#pragma once

#include <QString>

namespace bf
{

// Where a line may break when a word does not fit.
enum class WrapMode {
    AtWordBoundaries, // between words; a word wider than the line breaks anywhere
    Anywhere,         // at any character
};

enum class FontStyle { Upright, Italic };

// The attributes that text is measured with. A default-constructed value
// means the application's default font and its natural line height.
struct TextAttributes {
    QString fontFamily;    // empty: the default font's family
    double pointSize = 0.; // 0 or less: the default font's size
    int weight = 0;        // 1 to 1000 (400 normal, 700 bold); 0: the default font's weight
    FontStyle style = FontStyle::Upright;
    double lineHeight = 0.;  // every line this many points high; 0: the font's line height
    double lineSpacing = 0.; // points added between one line and the next
    WrapMode wrapMode = WrapMode::AtWordBoundaries;
};

// The height in points that `text` takes when laid out with `attributes` at
// `maxWidth` points per line: no inset at the line ends, no height limit.
// The height is that of all laid-out lines, the font's leading and the line
// spacing between them included, fraction kept. Line feeds, carriage returns
// (alone or before a line feed) and U+2028/U+2029 start a new line; a break at
// the end adds an empty last line. Empty text gives 0. A width that is not a
// positive number lays out one character cluster per line; widths above
// 1,000,000 points count as 1,000,000.
// Needs a QGuiApplication (fonts come from the platform integration).
[[nodiscard]] double heightOfStringWithMaxWidth(const QString &text, double maxWidth,
                                                const TextAttributes &attributes = {});

} // namespace bf
