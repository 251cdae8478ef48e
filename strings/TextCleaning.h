#pragma once

#include <QString>

// Text cleaning. Every function returns a new string value and leaves its
// argument alone (text that needs no change comes back as an implicitly
// shared copy); lengths count UTF-16 code units. White space and line breaks are
// the classes of strings/CharacterClasses.h, not QChar::isSpace().
namespace bf
{

// `text` with every U+000A, U+000D and U+0009 replaced by one U+0020 (a CR LF
// pair gives two spaces; inner runs are not merged), then the leading and
// trailing white space cut. Other line breaks (U+000B, U+000C, U+0085,
// U+2028, U+2029) stay, at the ends too. Empty gives empty.
[[nodiscard]] QString stringByRemovingNewlinesAndTabs(const QString &text);

// As stringByRemovingNewlinesAndTabs(), but inner tabs stay; tabs at either
// end are still cut, being white space.
[[nodiscard]] QString stringByRemovingNewlines(const QString &text);

// `text` with every backslash doubled in one forward pass: a run of n
// backslashes becomes 2n. Nothing else is escaped. Empty gives empty.
[[nodiscard]] QString stringByEscapingBackslashes(const QString &text);

// `text` without its leading and trailing white space and line breaks;
// inner characters are untouched. Only such characters give empty.
[[nodiscard]] QString stringByTrimmingWhitespace(const QString &text);

} // namespace bf
