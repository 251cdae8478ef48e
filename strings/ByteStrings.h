#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Strings made from bounded byte fields in a named character encoding.
namespace bf
{

// Character encodings by their platform numbers (the values of the
// NSStringEncoding constants, so numbers stored elsewhere keep their meaning).
// Only encodings in which a zero byte never occurs inside a character are
// listed: the conversion stops at the first zero byte.
enum class StringEncoding : quint64 {
    ASCII = 1,              // US-ASCII, 7 bits
    JapaneseEUC = 3,        // EUC-JP
    UTF8 = 4,               // UTF-8
    ISOLatin1 = 5,          // ISO 8859-1
    ShiftJIS = 8,           // Shift_JIS
    ISOLatin2 = 9,          // ISO 8859-2
    WindowsCP1251 = 11,     // Windows Cyrillic
    WindowsCP1252 = 12,     // Windows Latin 1
    WindowsCP1253 = 13,     // Windows Greek
    WindowsCP1254 = 14,     // Windows Turkish
    WindowsCP1250 = 15,     // Windows Latin 2
    ISO2022JP = 21,         // ISO-2022-JP
    MacOSRoman = 30,        // Mac OS Roman
    ISOLatin9 = 0x8000020F, // ISO 8859-15
    EUCKR = 0x80000940,     // EUC-KR
    KOI8R = 0x80000A02,     // KOI8-R
    Big5 = 0x80000A03,      // Big5
    GB18030 = 0x80000632,   // GB 18030
};

// The text of the bytes at `bytes` in `encoding`. At most `length` bytes are
// read, fewer when a zero byte comes first (the zero byte ends the text and is
// not part of it), so the source need not be zero-terminated. Nothing is
// copied before conversion.
//  - null `bytes`, or `length` 0 or negative: the empty string, nothing read;
//  - a zero first byte: the empty string;
//  - bytes not valid in `encoding` (an undefined byte, a malformed or
//    truncated sequence), or a number that names no supported encoding:
//    std::nullopt. Invalid bytes are never replaced by U+FFFD.
// The result counts UTF-16 code units like every QString.
[[nodiscard]] std::optional<QString> stringWithCString(const char *bytes, StringEncoding encoding,
                                                       qint64 length);

} // namespace bf
