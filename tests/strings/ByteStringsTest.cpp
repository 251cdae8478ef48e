#include "strings/ByteStrings.h"

#include <QSet>
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace
{

using bf::StringEncoding;

struct EdgeCase {
    const char *name;
    const char *bytes;
    qint64 length;
    StringEncoding encoding;
    std::optional<QString> expected;
};

void PrintTo(const EdgeCase &c, std::ostream *os)
{
    *os << c.name;
}

class ByteStringEdges : public ::testing::TestWithParam<EdgeCase>
{
};

TEST_P(ByteStringEdges, giveTheBoundedText)
{
    const EdgeCase &c = GetParam();
    EXPECT_EQ(bf::stringWithCString(c.bytes, c.encoding, c.length), c.expected);
}

const auto kUnknownEncoding = static_cast<StringEncoding>(10); // UTF-16 holds zero bytes

INSTANTIATE_TEST_SUITE_P(
    Cases, ByteStringEdges,
    ::testing::Values(
        EdgeCase{"nullPointer", nullptr, 5, StringEncoding::UTF8, u""_qs},
        EdgeCase{"zeroLength", "abc", 0, StringEncoding::UTF8, u""_qs},
        EdgeCase{"negativeLength", "abc", -1, StringEncoding::UTF8, u""_qs},
        EdgeCase{"mostNegativeLength", "abc", std::numeric_limits<qint64>::min(),
                 StringEncoding::UTF8, u""_qs},
        EdgeCase{"firstByteZero", "\0bc", 3, StringEncoding::UTF8, u""_qs},
        EdgeCase{"zeroInsideEndsText", "abc\0efg", 7, StringEncoding::UTF8, u"abc"_qs},
        EdgeCase{"lengthCutsBeforeZero", "abcde", 3, StringEncoding::UTF8, u"abc"_qs},
        EdgeCase{"lengthCutsMultiByteCharacter", "caf\xC3\xA9", 4, StringEncoding::UTF8,
                 std::nullopt},
        EdgeCase{"zeroAfterInvalidStillFails", "\xFF\0", 2, StringEncoding::UTF8, std::nullopt},
        EdgeCase{"invalidAfterZeroIsNotRead", "ok\0\xFF", 4, StringEncoding::UTF8, u"ok"_qs},
        EdgeCase{"unknownEncoding", "abc", 3, kUnknownEncoding, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

struct EncodingCase {
    const char *name;
    StringEncoding encoding;
    std::string valid;
    QString text;
    std::optional<std::string> invalid; // none: every byte is defined
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class Encodings : public ::testing::TestWithParam<EncodingCase>
{
};

TEST_P(Encodings, convertValidBytesAndRejectInvalidOnes)
{
    const EncodingCase &c = GetParam();
    EXPECT_EQ(bf::stringWithCString(c.valid.data(), c.encoding, qint64(c.valid.size())), c.text);
    if (c.invalid) {
        EXPECT_EQ(bf::stringWithCString(c.invalid->data(), c.encoding, qint64(c.invalid->size())),
                  std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Encodings,
    ::testing::Values(
        EncodingCase{"ascii", StringEncoding::ASCII, "a~\x7F", u"a~\x7F"_qs, "a\x80"},
        EncodingCase{"utf8", StringEncoding::UTF8, "caf\xC3\xA9 \xF0\x9F\x98\x80",
                     u"caf\u00E9 \U0001F600"_qs, "a\xC3\x28"},
        EncodingCase{"utf8Truncated", StringEncoding::UTF8, "\xE6\x97\xA5", u"\u65E5"_qs,
                     "\xE6\x97"},
        EncodingCase{"latin1", StringEncoding::ISOLatin1, "caf\xE9\x80", u"caf\u00E9\u0080"_qs,
                     std::nullopt},
        EncodingCase{"latin2", StringEncoding::ISOLatin2, "\xB1\xE6", u"\u0105\u0107"_qs,
                     std::nullopt},
        EncodingCase{"latin9", StringEncoding::ISOLatin9, "\xA4", u"\u20AC"_qs, std::nullopt},
        EncodingCase{"cp1250", StringEncoding::WindowsCP1250, "\xB9\x8A", u"\u0105\u0160"_qs,
                     "a\x81"},
        EncodingCase{"cp1251", StringEncoding::WindowsCP1251, "\xCF\xF0\xE8\xE2\xE5\xF2",
                     u"\u041F\u0440\u0438\u0432\u0435\u0442"_qs, "\x98"},
        EncodingCase{"cp1252", StringEncoding::WindowsCP1252, "\x80\x9F\xE9",
                     u"\u20AC\u0178\u00E9"_qs, "a\x8D"},
        EncodingCase{"cp1253", StringEncoding::WindowsCP1253, "\xE1\xDF", u"\u03B1\u03AF"_qs,
                     "\xD2"},
        EncodingCase{"cp1254", StringEncoding::WindowsCP1254, "\xFE\xD0", u"\u015F\u011E"_qs,
                     "\x9E"},
        EncodingCase{"macRoman", StringEncoding::MacOSRoman, "\x8E\xDB", u"\u00E9\u20AC"_qs,
                     std::nullopt},
        EncodingCase{"koi8r", StringEncoding::KOI8R, "\xF0\xD2\xC9\xD7\xC5\xD4",
                     u"\u041F\u0440\u0438\u0432\u0435\u0442"_qs, std::nullopt},
        EncodingCase{"eucJp", StringEncoding::JapaneseEUC, "\xC6\xFC\xCB\xDC", u"\u65E5\u672C"_qs,
                     "\xC6"},
        EncodingCase{"shiftJis", StringEncoding::ShiftJIS, "\x93\xFA\x96\x7B", u"\u65E5\u672C"_qs,
                     "\x93\x20"},
        EncodingCase{"iso2022jp", StringEncoding::ISO2022JP, "\x1B$BF|K\\\x1B(B",
                     u"\u65E5\u672C"_qs, "a\x80"},
        EncodingCase{"eucKr", StringEncoding::EUCKR, "\xC7\xD1\xB1\xDB", u"\uD55C\uAE00"_qs,
                     "\xC7\x41"},
        EncodingCase{"big5", StringEncoding::Big5, "\xA4\xA4\xA4\xE5", u"\u4E2D\u6587"_qs,
                     "\xA4\x20"},
        EncodingCase{"gb18030", StringEncoding::GB18030, "\xC4\xE3\x81\x30\x81\x30",
                     u"\u4F60\u0080"_qs, "\x81\x30\x81"}),
    [](const auto &info) { return std::string(info.param.name); });

struct SingleByteCase {
    const char *name;
    StringEncoding encoding;
    std::string undefined; // the bytes the code page leaves undefined
};

void PrintTo(const SingleByteCase &c, std::ostream *os)
{
    *os << c.name;
}

class SingleByteEncodings : public ::testing::TestWithParam<SingleByteCase>
{
};

// Every defined byte becomes a character of its own (nothing is lost, so the
// text converts back to the same bytes); every undefined byte is refused.
TEST_P(SingleByteEncodings, mapEveryDefinedByteToItsOwnCharacter)
{
    const SingleByteCase &c = GetParam();
    QSet<QChar> seen;
    for (int value = 1; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        const auto text = bf::stringWithCString(&byte, c.encoding, 1);
        if (c.undefined.find(byte) != std::string::npos) {
            EXPECT_EQ(text, std::nullopt) << "byte " << value;
            continue;
        }
        ASSERT_TRUE(text.has_value()) << "byte " << value;
        ASSERT_EQ(text->size(), 1) << "byte " << value;
        EXPECT_NE(text->front(), QChar::ReplacementCharacter) << "byte " << value;
        EXPECT_FALSE(seen.contains(text->front())) << "byte " << value;
        seen.insert(text->front());
    }
}

std::string range(int first, int last)
{
    std::string bytes;
    for (int value = first; value <= last; ++value)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleByteEncodings,
    ::testing::Values(
        SingleByteCase{"ascii", StringEncoding::ASCII, range(0x80, 0xFF)},
        SingleByteCase{"latin1", StringEncoding::ISOLatin1, ""},
        SingleByteCase{"latin2", StringEncoding::ISOLatin2, ""},
        SingleByteCase{"latin9", StringEncoding::ISOLatin9, ""},
        SingleByteCase{"cp1250", StringEncoding::WindowsCP1250, "\x81\x83\x88\x90\x98"},
        SingleByteCase{"cp1251", StringEncoding::WindowsCP1251, "\x98"},
        SingleByteCase{"cp1252", StringEncoding::WindowsCP1252, "\x81\x8D\x8F\x90\x9D"},
        SingleByteCase{"cp1253", StringEncoding::WindowsCP1253,
                       "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF"},
        SingleByteCase{"cp1254", StringEncoding::WindowsCP1254, "\x81\x8D\x8E\x8F\x90\x9D\x9E"},
        SingleByteCase{"macRoman", StringEncoding::MacOSRoman, ""},
        SingleByteCase{"koi8r", StringEncoding::KOI8R, ""}),
    [](const auto &info) { return std::string(info.param.name); });

// Bytes placed at the very end of a readable page, followed by a page that
// cannot be read: any read past `length` faults.
class GuardedBuffer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void *pages =
            mmap(nullptr, 2 * pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(pages, MAP_FAILED);
        base = static_cast<char *>(pages);
        ASSERT_EQ(mprotect(base + pageSize, pageSize, PROT_NONE), 0);
    }
    void TearDown() override
    {
        if (base != nullptr)
            munmap(base, 2 * pageSize);
    }
    const char *atPageEnd(const std::string &bytes)
    {
        char *start = base + pageSize - bytes.size();
        std::copy(bytes.begin(), bytes.end(), start); // deliberately no terminator
        return start;
    }
    std::size_t pageSize = 0;
    char *base = nullptr;
};

TEST_F(GuardedBuffer, neverReadsPastLength)
{
    const char *valid = atPageEnd("abc\xC3\xA9");
    EXPECT_EQ(bf::stringWithCString(valid, StringEncoding::UTF8, 5), u"abc\u00E9"_qs);
    EXPECT_EQ(bf::stringWithCString(valid, StringEncoding::UTF8, 3), u"abc"_qs);
    const char *truncated = atPageEnd("ab\xE6\x97");
    EXPECT_EQ(bf::stringWithCString(truncated, StringEncoding::UTF8, 4), std::nullopt);
    const char *undefined = atPageEnd("ab\x81");
    EXPECT_EQ(bf::stringWithCString(undefined, StringEncoding::WindowsCP1252, 3), std::nullopt);
    const char *stateful = atPageEnd("\x1B$BF|");
    EXPECT_EQ(bf::stringWithCString(stateful, StringEncoding::ISO2022JP, 5), u"\u65E5"_qs);
}

} // namespace
