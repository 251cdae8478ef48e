// Fuzzes bf::stringWithCString. Input layout:
//   byte 0      the encoding: a supported one by index, or a number that
//               names none;
//   bytes 1-2   the length argument, little-endian, minus 8 (so zero and
//               negative lengths occur), capped at the bytes that follow;
//   the rest    the bytes.
// The bytes are copied into a buffer of exactly `length` bytes with nothing
// after it, so AddressSanitizer reports any read past `length`.
#include "FuzzSupport.h"

#include "strings/ByteStrings.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

namespace
{

using bf::StringEncoding;

constexpr auto kEncodings = std::to_array<StringEncoding>({
    StringEncoding::ASCII,
    StringEncoding::JapaneseEUC,
    StringEncoding::UTF8,
    StringEncoding::ISOLatin1,
    StringEncoding::ShiftJIS,
    StringEncoding::ISOLatin2,
    StringEncoding::WindowsCP1251,
    StringEncoding::WindowsCP1252,
    StringEncoding::WindowsCP1253,
    StringEncoding::WindowsCP1254,
    StringEncoding::WindowsCP1250,
    StringEncoding::ISO2022JP,
    StringEncoding::MacOSRoman,
    StringEncoding::ISOLatin9,
    StringEncoding::EUCKR,
    StringEncoding::KOI8R,
    StringEncoding::Big5,
    StringEncoding::GB18030,
});

// One byte, one character, never U+FFFD.
constexpr auto kSingleByte = std::to_array<StringEncoding>({
    StringEncoding::ASCII,
    StringEncoding::ISOLatin1,
    StringEncoding::ISOLatin2,
    StringEncoding::WindowsCP1251,
    StringEncoding::WindowsCP1252,
    StringEncoding::WindowsCP1253,
    StringEncoding::WindowsCP1254,
    StringEncoding::WindowsCP1250,
    StringEncoding::MacOSRoman,
    StringEncoding::ISOLatin9,
    StringEncoding::KOI8R,
});

// Numbers that name no supported encoding: unused platform numbers, zero and
// ones that differ from a supported number only in the high bits.
constexpr auto kUnsupported =
    std::to_array<quint64>({0, 2, 6, 7, 10, 0x80000000, 0x100000004, 0xFFFFFFFFFFFFFFFF});

constexpr std::size_t kHeaderBytes = 3;
constexpr qint64 kLengthBias = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    const std::size_t selector = data[0];
    const bool supported = selector < 2 * kEncodings.size() || selector % 2 == 0;
    const StringEncoding encoding =
        supported ? kEncodings[selector % kEncodings.size()]
                  : static_cast<StringEncoding>(kUnsupported[selector % kUnsupported.size()]);
    const std::size_t available = size - kHeaderBytes;
    const qint64 length =
        std::min<qint64>(static_cast<qint64>(data[1] | (data[2] << 8)) - kLengthBias,
                         static_cast<qint64>(available));

    // Exactly `length` bytes (none for zero or negative lengths).
    const std::size_t bufferSize = length > 0 ? static_cast<std::size_t>(length) : 0;
    const std::unique_ptr<char[]> buffer(new char[bufferSize]);
    std::memcpy(buffer.get(), data + kHeaderBytes, bufferSize);

    const std::optional<QString> text = bf::stringWithCString(buffer.get(), encoding, length);

    // The text ends before the first zero byte or at `length`.
    const auto *zero = static_cast<const char *>(std::memchr(buffer.get(), 0, bufferSize));
    const std::size_t scanned =
        zero == nullptr ? bufferSize : static_cast<std::size_t>(zero - buffer.get());

    // No length: the empty string before anything else is looked at. Then an
    // unsupported encoding fails, whatever the bytes.
    if (length <= 0) {
        fuzz::check(text.has_value() && text->isEmpty(), "no length but not the empty string");
        return 0;
    }
    if (!supported) {
        fuzz::check(!text.has_value(), "an unsupported encoding gave text");
        return 0;
    }
    if (scanned == 0) {
        fuzz::check(text.has_value() && text->isEmpty(), "no bytes but not the empty string");
        return 0;
    }
    // Encodings whose answer is known: Latin-1 defines every byte, ASCII
    // exactly those below 0x80.
    const char *bytes = buffer.get();
    const auto count = static_cast<qsizetype>(scanned);
    if (encoding == StringEncoding::ISOLatin1) {
        fuzz::check(text.has_value(), "Latin-1 rejected a byte");
        fuzz::check(*text == QString::fromLatin1(bytes, count), "Latin-1 differs from Qt");
    }
    if (encoding == StringEncoding::ASCII) {
        const bool seven = std::all_of(bytes, bytes + scanned,
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        fuzz::check(text.has_value() == seven, "ASCII accepted or rejected the wrong bytes");
        if (seven)
            fuzz::check(*text == QString::fromLatin1(bytes, count), "ASCII differs from Qt");
    }

    if (!text.has_value())
        return 0;
    // Only a stateful encoding may spend bytes on nothing but switching
    // character sets (an ISO-2022-JP escape sequence on its own).
    fuzz::check(!text->isEmpty() || encoding == StringEncoding::ISO2022JP,
                "bytes gave the empty string");
    fuzz::check(text->isValidUtf16(), "text is not valid UTF-16");
    fuzz::check(!text->contains(QChar(u'\0')), "text holds U+0000");
    if (std::find(kSingleByte.begin(), kSingleByte.end(), encoding) != kSingleByte.end()) {
        fuzz::check(text->size() == count, "a single-byte encoding changed the length");
        fuzz::check(!text->contains(QChar(0xFFFD)), "an invalid byte became U+FFFD");
    }
    return 0;
}
