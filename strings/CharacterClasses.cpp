#include "strings/CharacterClasses.h"

#include <unicode/uchar.h>

namespace bf
{

bool isWhiteSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\t' || u_charType(u) == U_SPACE_SEPARATOR;
}

bool isLineBreak(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x000A && u <= 0x000D) || u == 0x0085 || u == 0x2028 || u == 0x2029;
}

} // namespace bf
