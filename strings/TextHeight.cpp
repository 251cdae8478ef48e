#include "strings/TextHeight.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace bf
{
namespace
{

constexpr double kWidestLine = 1.0e6;

bool isPositive(double value)
{
    return std::isfinite(value) && value > 0.0;
}

QFont fontFor(const TextAttributes &attributes)
{
    QFont font = QGuiApplication::font();
    if (!attributes.fontFamily.isEmpty())
        font.setFamilies({attributes.fontFamily});
    if (isPositive(attributes.pointSize))
        font.setPointSizeF(attributes.pointSize);
    if (attributes.weight > 0 && attributes.weight <= 1000)
        font.setWeight(static_cast<QFont::Weight>(attributes.weight));
    if (attributes.style == FontStyle::Italic)
        font.setItalic(true);
    return font;
}

// QTextLayout breaks lines only at U+2028, so every other line break becomes
// one.
QString withLineSeparators(const QString &text)
{
    QString result = text;
    result.replace(u"\r\n"_qs, QString(QChar::LineSeparator));
    for (QChar &c : result) {
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator)
            c = QChar::LineSeparator;
    }
    return result;
}

} // namespace

double heightOfStringWithMaxWidth(const QString &text, double maxWidth,
                                  const TextAttributes &attributes)
{
    if (text.isEmpty())
        return 0.0;

    // A 72 dpi device makes one pixel one point.
    constexpr int kDotsPerMeterAt72Dpi = 2835;
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(kDotsPerMeterAt72Dpi);
    device.setDotsPerMeterY(kDotsPerMeterAt72Dpi);

    QTextOption option;
    option.setWrapMode(attributes.wrapMode == WrapMode::Anywhere
                           ? QTextOption::WrapAnywhere
                           : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);

    QTextLayout layout(withLineSeparators(text), fontFor(attributes), &device);
    layout.setTextOption(option);

    const double width = isPositive(maxWidth) ? std::min(maxWidth, kWidestLine) : 0.0;
    const double spacing = std::isfinite(attributes.lineSpacing) ? attributes.lineSpacing : 0.0;
    double height = 0.0;
    bool first = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        if (!first)
            height += spacing;
        first = false;
        line.setPosition(QPointF(0.0, height));
        height += isPositive(attributes.lineHeight) ? attributes.lineHeight : line.height();
    }
    layout.endLayout();
    return height;
}

} // namespace bf
