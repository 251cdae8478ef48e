#include "strings/PathArithmetic.h"

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

void PrintTo(const PathCase &c, std::ostream *os)
{
    *os << c.name;
}

class PathArithmetic : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(PathArithmetic, splitsComponentsAndExtensions)
{
    const PathCase &c = GetParam();
    EXPECT_EQ(bf::lastPathComponent(c.path), QString::fromUtf16(c.lastComponent));
    EXPECT_EQ(bf::pathExtension(c.path), QString::fromUtf16(c.extension));
    EXPECT_EQ(bf::stringByDeletingPathExtension(c.path), QString::fromUtf16(c.withoutExtension));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathArithmetic,
    ::testing::Values(PathCase{"empty", u"", u"", u"", u""},
                      PathCase{"plainName", u"Main", u"Main", u"", u"Main"},
                      PathCase{"oneExtension", u"/a/Main.ext", u"Main.ext", u"ext", u"/a/Main"},
                      PathCase{"twoDots", u"a.b.c", u"a.b.c", u"c", u"a.b"},
                      PathCase{"hiddenName", u"/x/.profile", u".profile", u"", u"/x/.profile"},
                      PathCase{"trailingDot", u"name.", u"name.", u"", u"name."},
                      PathCase{"trailingSlash", u"/a/Main.ext/", u"Main.ext", u"ext", u"/a/Main"},
                      PathCase{"dotInFolderOnly", u"/a.b/c", u"c", u"", u"/a.b/c"},
                      PathCase{"root", u"/", u"/", u"", u"/"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PathArithmeticJoin, joinsWithOneSeparator)
{
    EXPECT_EQ(bf::stringByAppendingPathComponent(u"/a", u"b"), u"/a/b");
    EXPECT_EQ(bf::stringByAppendingPathComponent(u"/a/", u"b"), u"/a/b");
    EXPECT_EQ(bf::stringByAppendingPathComponent(u"/", u"b"), u"/b");
    EXPECT_EQ(bf::stringByAppendingPathComponent(u"", u"b"), u"b");
    EXPECT_EQ(bf::stringByAppendingPathComponent(u"/a", u""), u"/a");
    EXPECT_EQ(bf::stringByAppendingPathExtension(u"Main (Old Version)", u"ext"),
              u"Main (Old Version).ext");
    EXPECT_EQ(bf::stringByAppendingPathExtension(u"Main", u""), u"Main");
}

} // namespace
