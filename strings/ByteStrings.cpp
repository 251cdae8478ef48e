#include "strings/ByteStrings.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>

namespace bf
{
namespace
{

struct EncodingEntry {
    StringEncoding encoding;
    const char *icuName;
    // Bytes the code page leaves undefined but ICU's table maps to C1 control
    // characters all the same; they are rejected before conversion.
    std::string_view undefinedBytes;
};

constexpr auto kEncodings = std::to_array<EncodingEntry>({
    {StringEncoding::ASCII, "US-ASCII", {}},
    {StringEncoding::JapaneseEUC, "EUC-JP", {}},
    {StringEncoding::UTF8, "UTF-8", {}},
    {StringEncoding::ISOLatin1, "ISO-8859-1", {}},
    {StringEncoding::ShiftJIS, "Shift_JIS", {}},
    {StringEncoding::ISOLatin2, "ISO-8859-2", {}},
    {StringEncoding::WindowsCP1251, "windows-1251", "\x98"},
    {StringEncoding::WindowsCP1252, "windows-1252", "\x81\x8D\x8F\x90\x9D"},
    {StringEncoding::WindowsCP1253, "windows-1253",
     "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF"},
    {StringEncoding::WindowsCP1254, "windows-1254", "\x81\x8D\x8E\x8F\x90\x9D\x9E"},
    {StringEncoding::WindowsCP1250, "windows-1250", "\x81\x83\x88\x90\x98"},
    {StringEncoding::ISO2022JP, "ISO-2022-JP", {}},
    {StringEncoding::MacOSRoman, "macintosh", {}},
    {StringEncoding::ISOLatin9, "ISO-8859-15", {}},
    {StringEncoding::EUCKR, "EUC-KR", {}},
    {StringEncoding::KOI8R, "KOI8-R", {}},
    {StringEncoding::Big5, "Big5", {}},
    {StringEncoding::GB18030, "GB18030", {}},
});

const EncodingEntry *findEncoding(StringEncoding encoding)
{
    const auto it =
        std::find_if(kEncodings.begin(), kEncodings.end(),
                     [encoding](const EncodingEntry &e) { return e.encoding == encoding; });
    return it == kEncodings.end() ? nullptr : &*it;
}

bool holdsUndefinedByte(std::string_view bytes, std::string_view undefined)
{
    return !undefined.empty() && bytes.find_first_of(undefined) != std::string_view::npos;
}

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};

// Strict conversion: the stop callback makes any illegal, unassigned or
// truncated sequence an error instead of a substitution character.
std::optional<QString> convert(std::string_view bytes, const char *icuName)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(icuName, &status));
    if (U_FAILURE(status))
        return std::nullopt;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    if (U_FAILURE(status))
        return std::nullopt;

    // One UTF-16 unit per byte holds every supported encoding's text; the
    // loop grows the result should a converter ever need more.
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    const char *source = bytes.data();
    const char *const sourceLimit = bytes.data() + bytes.size();
    qsizetype written = 0;
    for (;;) {
        auto *const start = reinterpret_cast<UChar *>(text.data());
        UChar *target = start + written;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.get(), &target, start + text.size(), &source, sourceLimit, nullptr,
                       true, &status);
        written = target - start;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        text.resize(text.size() + text.size() / 2 + 16);
    }
    if (U_FAILURE(status))
        return std::nullopt;
    text.truncate(written);
    return text;
}

} // namespace

std::optional<QString> stringWithCString(const char *bytes, StringEncoding encoding, qint64 length)
{
    if (bytes == nullptr || length <= 0)
        return QString();
    const EncodingEntry *entry = findEncoding(encoding);
    if (entry == nullptr)
        return std::nullopt;

    // Bounded scan for the terminator: the source may end right after
    // `length` bytes without one.
    const auto limit = static_cast<std::size_t>(length);
    const void *zero = std::memchr(bytes, 0, limit);
    const std::size_t size =
        zero == nullptr ? limit : static_cast<std::size_t>(static_cast<const char *>(zero) - bytes);
    if (size == 0)
        return QString();

    const std::string_view text(bytes, size);
    if (holdsUndefinedByte(text, entry->undefinedBytes))
        return std::nullopt;
    return convert(text, entry->icuName);
}

} // namespace bf
