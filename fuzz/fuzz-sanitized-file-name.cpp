// Fuzzes bf::stringSanitizedForFileName with arbitrary UTF-8 and UTF-16 text
// (lone surrogates and U+0000 included) and checks what every file name it
// makes must satisfy.
#include "FuzzSupport.h"

#include "strings/CharacterClasses.h"
#include "strings/FileNames.h"

#include <cstddef>
#include <cstdint>

namespace
{

constexpr qsizetype kMaxInputUnits = 4096;
constexpr qsizetype kMaxNameUnits = 255;
// Results this short were never cut to length, so sanitizing them again must
// change nothing.
constexpr qsizetype kUncutUnits = 252;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = fuzz::textFromInput(data, size, kMaxInputUnits);
    const QString name = bf::stringSanitizedForFileName(text);

    fuzz::check(name.size() <= kMaxNameUnits, "longer than 255 UTF-16 units");
    fuzz::check(!name.startsWith(u'.'), "begins with '.'");
    for (const QChar c : name) {
        fuzz::check(c != u'/' && c != u':' && c != u'~' && c != QChar(u'\0'),
                    "holds '/', ':', '~' or U+0000");
        fuzz::check(!bf::isLineBreak(c), "holds a line break");
    }
    if (!name.isEmpty()) {
        fuzz::check(!bf::isWhiteSpaceOrLineBreak(name.front()), "begins with white space");
    }
    // A lone surrogate in the result must come from the input, never from a
    // cut through a pair.
    if (text.isValidUtf16())
        fuzz::check(name.isValidUtf16(), "the cut split a surrogate pair");
    if (name.size() <= kUncutUnits)
        fuzz::check(bf::stringSanitizedForFileName(name) == name, "not stable when repeated");
    return 0;
}
