#include "strings/ByteStrings.h"

#include "tests/support/Cases.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

namespace
{

using bf::StringEncoding;
using enum bf::StringEncoding;

struct BytesCase {
    const char *name;
    StringEncoding encoding;
    const char *bytes;
    qint64 length;
    std::optional<QString> expected;
};
using ByteStrings = ::testing::TestWithParam<BytesCase>;

TEST_P(ByteStrings, giveTheBoundedTextOrNothing)
{
    const BytesCase &c = GetParam();
    EXPECT_EQ(bf::stringWithCString(c.bytes, c.encoding, c.length), c.expected);
}

// A null pointer and the zero byte, then valid and invalid bytes (the
// fuzz target holds the other bounds); the cut multi-byte and stateful
// (ISO-2022-JP) texts are at the guarded page's end below.
const BytesCase kByteCases[] = {
    {"nullPointer", UTF8, nullptr, 5, u""_qs},
    {"invalidAfterZeroIsNotRead", UTF8, "ok\0\xFF", 4, u"ok"_qs},
    {"utf8", UTF8, "caf\xC3\xA9 \xF0\x9F\x98\x80", 10, u"caf\u00E9 \U0001F600"_qs},
    {"utf8Malformed", UTF8, "a\xC3\x28", 3, std::nullopt},
};
QUILLBOX_CASES(ByteStrings, BytesCase, ::testing::ValuesIn(kByteCases));

// Bytes placed at the very end of a readable page, followed by a page that
// cannot be read: any read past `length` faults. Among them a byte that
// Windows-1252 leaves undefined, which is refused although ICU maps it.
TEST(GuardedBuffer, neverReadsPastLength)
{
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void *pages =
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    char *const end = static_cast<char *>(pages) + page;
    ASSERT_EQ(mprotect(end, page, PROT_NONE), 0);
    const auto atPageEnd = [end](std::string_view bytes) { // deliberately no terminator
        return std::copy_backward(bytes.begin(), bytes.end(), end);
    };
    const char *valid = atPageEnd("abc\xC3\xA9");
    EXPECT_EQ(bf::stringWithCString(valid, UTF8, 5), u"abc\u00E9"_qs);
    EXPECT_EQ(bf::stringWithCString(valid, UTF8, 3), u"abc"_qs);
    EXPECT_EQ(bf::stringWithCString(atPageEnd("ab\xE6\x97"), UTF8, 4), std::nullopt);
    EXPECT_EQ(bf::stringWithCString(atPageEnd("ab\x81"), WindowsCP1252, 3), std::nullopt);
    EXPECT_EQ(bf::stringWithCString(atPageEnd("\x1B$BF|"), ISO2022JP, 5), u"\u65E5"_qs);
    munmap(pages, 2 * page);
}

} // namespace
