#pragma once

#include <QChar>

// The character classes shared by the string library. They are deliberately
// narrower than QChar::isSpace():
//   white space = U+0009 or general category Zs;
//   line break  = U+000A..U+000D, U+0085, U+2028, U+2029.
// All members lie in the Basic Multilingual Plane, so a single UTF-16 code
// unit decides membership; surrogates belong to neither class.
namespace bf
{

[[nodiscard]] bool isWhiteSpace(QChar c);
[[nodiscard]] bool isLineBreak(QChar c);
[[nodiscard]] inline bool isWhiteSpaceOrLineBreak(QChar c)
{
    return isWhiteSpace(c) || isLineBreak(c);
}

} // namespace bf
