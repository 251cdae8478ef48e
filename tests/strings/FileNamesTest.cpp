#include "strings/FileNames.h"

#include "tests/support/QtPrinting.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

struct SanitizeCase {
    const char *name;
    QString input;
    QString expected;
};

// Name the case, not its bytes, in test listings.
void PrintTo(const SanitizeCase &c, std::ostream *os)
{
    *os << c.name;
}

class Sanitizer : public ::testing::TestWithParam<SanitizeCase>
{
};

TEST_P(Sanitizer, makesOneSafeName)
{
    EXPECT_EQ(bf::stringSanitizedForFileName(GetParam().input), GetParam().expected);
}

const QString kSmile = QString::fromUtf16(u"\U0001F600"); // a surrogate pair

INSTANTIATE_TEST_SUITE_P(
    Cases, Sanitizer,
    ::testing::Values(
        SanitizeCase{"empty", u""_qs, u""_qs},
        SanitizeCase{"onlySpaceAndBreaks", u" \t\r\n\u2028\u00A0"_qs, u""_qs},
        SanitizeCase{"untouched", u"Main (Old Version).ext"_qs, u"Main (Old Version).ext"_qs},
        SanitizeCase{"singleDot", u"."_qs, u"-"_qs}, SanitizeCase{"twoDots", u".."_qs, u"-."_qs},
        SanitizeCase{"threeDots", u"...x"_qs, u"-..x"_qs},
        SanitizeCase{"separators", u"a/b:c~d/"_qs, u"a-b-c-d-"_qs},
        SanitizeCase{"nulCharacter", QString::fromUtf16(u"a\0b", 3), u"a-b"_qs},
        SanitizeCase{"innerSpaceStays", u"  a \t b  "_qs, u"a \t b"_qs},
        SanitizeCase{"firstLineOnly", u"one  \r\ntwo"_qs, u"one"_qs},
        SanitizeCase{"unicodeLineBreak", u"one\u2029two"_qs, u"one"_qs},
        SanitizeCase{"exactly255", QString(255, u'a'), QString(255, u'a')},
        SanitizeCase{"256WithExtension", QString(252, u'a') + u".txt"_qs,
                     QString(251, u'a') + u".txt"_qs},
        SanitizeCase{"300NoExtension", QString(300, u'b'), QString(254, u'b')},
        SanitizeCase{"cutKeepsUncoveredSpace", QString(253, u'c') + u"  "_qs + QString(10, u'd'),
                     QString(253, u'c') + u" "_qs},
        SanitizeCase{"cutNeverSplitsPair", QString(253, u'e') + kSmile + QString(10, u'f'),
                     QString(253, u'e')},
        SanitizeCase{"hugeExtension", u"a."_qs + QString(300, u'x'),
                     u"a."_qs + QString(252, u'x')}),
    [](const auto &info) { return std::string(info.param.name); });

class UniqueName : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    void create(const QString &name) { ASSERT_TRUE(QDir(dir.path()).mkpath(name)); }
};

TEST_F(UniqueName, freeNameComesBackUnchangedEvenIfUnsafe)
{
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u".a:b~"_qs, dir.path()), u".a:b~");
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"x"_qs, dir.path() + u"/missing"_qs), u"x");
}

TEST_F(UniqueName, numbersFromOneAndTakesTheLowestFreeNumber)
{
    create(u"Main (Old Version).ext"_qs);
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"Main (Old Version).ext"_qs, dir.path()),
              u"Main (Old Version) 1.ext");
    create(u"Main (Old Version) 1.ext"_qs);
    create(u"Main (Old Version) 3.ext"_qs);
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"Main (Old Version).ext"_qs, dir.path()),
              u"Main (Old Version) 2.ext");
    // Nothing was created, so asking again gives the same answer.
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"Main (Old Version).ext"_qs, dir.path()),
              u"Main (Old Version) 2.ext");
}

TEST_F(UniqueName, splitsOnlyTheLastExtensionAndSanitizesTheNumberedName)
{
    create(u"Plain"_qs);
    create(u"a.b.c"_qs);
    create(u"x:y"_qs);
    create(u"x-y 1"_qs);
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"Plain"_qs, dir.path()), u"Plain 1");
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"a.b.c"_qs, dir.path()), u"a.b 1.c");
    // "x:y 1" is free, and its sanitized form is returned though it exists.
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"x:y"_qs, dir.path()), u"x-y 1");
}

TEST_F(UniqueName, danglingSymbolicLinkCountsAsTaken)
{
    ASSERT_TRUE(QFile::link(dir.path() + u"/nowhere"_qs, dir.path() + u"/Lib"_qs));
    EXPECT_EQ(bf::makeFilenameUniqueInDirectory(u"Lib"_qs, dir.path()), u"Lib 1");
}

TEST(FileSystemNames, roundTripAndDisplayName)
{
    EXPECT_EQ(bf::fileSystemRepresentationString(u"/tmp/caf\u00E9 \U0001F600"_qs),
              u"/tmp/caf\u00E9 \U0001F600"_qs);
    EXPECT_EQ(bf::fileSystemRepresentationString(u""_qs), u"");
    EXPECT_EQ(bf::fileDisplayName(u"/home/u/Main.ext/"_qs), u"Main.ext");
    EXPECT_EQ(bf::fileDisplayName(u"/"_qs), u"/");
    EXPECT_EQ(bf::fileDisplayName(u""_qs), u"");
}

} // namespace
