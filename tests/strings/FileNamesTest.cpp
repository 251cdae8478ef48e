#include "strings/FileNames.h"

#include "tests/support/Cases.h"
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
using Sanitizer = ::testing::TestWithParam<SanitizeCase>;

TEST_P(Sanitizer, makesOneSafeName)
{
    EXPECT_EQ(bf::stringSanitizedForFileName(GetParam().input), GetParam().expected);
}

const QString kSmile = QString::fromUtf16(u"\U0001F600"); // a surrogate pair

const SanitizeCase kCases[] = {
    {"onlySpaceAndBreaks", u" \t\r\n\u2028\u00A0"_qs, u""_qs},
    {"innerSpaceStays", u"  Main (Old) \t v.ext  "_qs, u"Main (Old) \t v.ext"_qs},
    {"onlyFirstDot", u"...x"_qs, u"-..x"_qs},
    {"separatorsAndNul", QString::fromUtf16(u"a/b:c~d\0e/", 10), u"a-b-c-d-e-"_qs},
    // U+2029 is a line break as much as CR LF.
    {"firstLineOnly", u"one  \u2029two\r\nthree"_qs, u"one"_qs},
    {"exactly255", QString(255, u'a'), QString(255, u'a')},
    {"256WithExtension", QString(252, u'a') + u".txt"_qs, QString(251, u'a') + u".txt"_qs},
    // Without an extension the first 254 units stay, trailing space and all.
    {"cutKeepsUncoveredSpace", QString(253, u'c') + u"  "_qs + QString(10, u'd'),
     QString(253, u'c') + u" "_qs},
    {"cutNeverSplitsPair", QString(253, u'e') + kSmile + QString(10, u'f'), QString(253, u'e')},
    {"hugeExtension", u"a."_qs + QString(300, u'x'), u"a."_qs + QString(252, u'x')},
};
QUILLBOX_CASES(Sanitizer, SanitizeCase, ::testing::ValuesIn(kCases));

TEST(UniqueName, takesTheLowestFreeNumberAndSanitizesOnlyNumberedNames)
{
    const QTemporaryDir dir;
    const auto unique = [&dir](const QString &name) {
        return bf::makeFilenameUniqueInDirectory(name, dir.path());
    };
    // A free name comes back as given, unsafe as it may be.
    EXPECT_EQ(unique(u".a:b~"_qs), u".a:b~");

    for (const char16_t *taken : {u"Main (Old Version).ext", u"Main (Old Version) 1.ext",
                                  u"Main (Old Version) 3.ext", u"a.b.c", u"x:y", u"x-y 1"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf16(taken)));
    ASSERT_TRUE(QFile::link(dir.path() + u"/nowhere"_qs, dir.path() + u"/Lib"_qs));
    EXPECT_EQ(unique(u"Main (Old Version).ext"_qs), u"Main (Old Version) 2.ext");
    EXPECT_EQ(unique(u"a.b.c"_qs), u"a.b 1.c");
    // "x:y 1" is free, but its sanitized form "x-y 1" is taken.
    EXPECT_EQ(unique(u"x:y"_qs), u"x-y 2");
    // A dangling symbolic link takes its name.
    EXPECT_EQ(unique(u"Lib"_qs), u"Lib 1");

    // A taken name of 255 units: its numbered form keeps its number, and a
    // taken numbered form is skipped, however long the name.
    const QString longest = QString(251, u'n') + u".ext"_qs;
    ASSERT_TRUE(QDir(dir.path()).mkpath(longest));
    const QString first = unique(longest);
    EXPECT_EQ(first, QString(249, u'n') + u" 1.ext"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkpath(first));
    EXPECT_EQ(unique(longest), QString(249, u'n') + u" 2.ext"_qs);
    EXPECT_EQ(bf::numberedFileName(u"a."_qs + QString(300, u'x'), 7).size(), 255);
}

} // namespace
