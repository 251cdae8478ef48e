#pragma once

#include <QString>
#include <QStringView>

// Text cleaning. Every function returns a new string and leaves its argument
// alone; lengths count UTF-16 code units. White space and line breaks are
// the classes of strings/CharacterClasses.h, not QChar::isSpace().
namespace bf
{

// `text` with every U+000A, U+000D and U+0009 replaced by one U+0020 (a CR LF
// pair gives two spaces; inner runs are not merged), then the leading and
// trailing white space cut. Other line breaks (U+000B, U+000C, U+0085,
// U+2028, U+2029) stay, at the ends too. Empty gives empty.
[[nodiscard]] QString stringByRemovingNewlinesAndTabs(QStringView text);

// As stringByRemovingNewlinesAndTabs(), but inner tabs stay; tabs at either
// end are still cut, being white space.
[[nodiscard]] QString stringByRemovingNewlines(QStringView text);

// `text` with every backslash doubled in one forward pass: a run of n
// backslashes becomes 2n. Nothing else is escaped. Empty gives empty.
[[nodiscard]] QString stringByEscapingBackslashes(QStringView text);

// `text` without its leading and trailing white space and line breaks;
// inner characters are untouched. Only such characters give empty.
[[nodiscard]] QString stringByTrimmingWhitespace(QStringView text);

} // namespace bf
