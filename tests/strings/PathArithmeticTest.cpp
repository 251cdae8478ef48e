#include "strings/PathArithmetic.h"

#include "tests/support/Cases.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace
{

struct PathCase {
    const char *name;
    const char16_t *path;
    const char16_t *lastComponent;
    const char16_t *extension;
    const char16_t *withoutExtension;
};

using PathArithmetic = ::testing::TestWithParam<PathCase>;

TEST_P(PathArithmetic, splitsComponentsAndExtensions)
{
    const PathCase &c = GetParam();
    EXPECT_EQ(bf::lastPathComponent(c.path), QString::fromUtf16(c.lastComponent));
    EXPECT_EQ(bf::pathExtension(c.path), QString::fromUtf16(c.extension));
    EXPECT_EQ(bf::stringByDeletingPathExtension(c.path), QString::fromUtf16(c.withoutExtension));
}

const PathCase kCases[] = {
    {"empty", u"", u"", u"", u""},
    {"twoDots", u"a.b.c", u"a.b.c", u"c", u"a.b"},
    {"hiddenName", u"/x/.profile", u".profile", u"", u"/x/.profile"},
    {"trailingDot", u"name.", u"name.", u"", u"name."},
    {"trailingSlash", u"/a/Main.ext/", u"Main.ext", u"ext", u"/a/Main"},
    {"dotInFolderOnly", u"/a.b/c", u"c", u"", u"/a.b/c"},
    {"root", u"/", u"/", u"", u"/"},
};
QUILLBOX_CASES(PathArithmetic, PathCase, ::testing::ValuesIn(kCases));

} // namespace
