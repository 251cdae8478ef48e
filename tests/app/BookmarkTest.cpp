#include "app/core/companion/Bookmark.h"

#include "tests/support/QtPrinting.h"
#include "tests/support/ScopedEnv.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

class BookmarkTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(QDir(home.path()).mkpath(u"Documents/Main.quillbox"_qs)); }

    QTemporaryDir home;
    test::ScopedEnv homeVariable{"HOME", home.path()};
    QString library() const { return home.path() + u"/Documents/Main.quillbox"_qs; }
};

TEST_F(BookmarkTest, findsTheFolderWhereItIsAndAfterItMovedWithinHome)
{
    const auto data = createBookmarkData(library());
    ASSERT_TRUE(data);
    EXPECT_EQ(resolveBookmarkData(*data), library());

    // Renamed in place.
    ASSERT_TRUE(QDir().rename(library(), home.path() + u"/Documents/Renamed.quillbox"_qs));
    EXPECT_EQ(resolveBookmarkData(*data), home.path() + u"/Documents/Renamed.quillbox"_qs);

    // Moved into a sibling folder of its old parent.
    ASSERT_TRUE(QDir(home.path()).mkpath(u"Archive/2026"_qs));
    const QString moved = home.path() + u"/Archive/2026/Main.quillbox"_qs;
    ASSERT_TRUE(QDir().rename(home.path() + u"/Documents/Renamed.quillbox"_qs, moved));
    EXPECT_EQ(resolveBookmarkData(*data), moved);

    // A new folder at the old path is not the same folder.
    ASSERT_TRUE(QDir().mkpath(library()));
    EXPECT_EQ(resolveBookmarkData(*data), moved);

    // The folder itself gone, another in its place (as after a restore):
    // that one; then nothing at all.
    ASSERT_TRUE(QDir(moved).removeRecursively());
    EXPECT_EQ(resolveBookmarkData(*data), library());
    ASSERT_TRUE(QDir(library()).removeRecursively());
    EXPECT_EQ(resolveBookmarkData(*data), std::nullopt);

    // A folder outside the home folder is never searched for.
    QTemporaryDir elsewhere;
    const QString folder = elsewhere.path() + u"/Lib"_qs;
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto outside = createBookmarkData(folder);
    ASSERT_TRUE(outside);
    ASSERT_TRUE(QDir().rename(folder, elsewhere.path() + u"/Moved"_qs));
    EXPECT_EQ(resolveBookmarkData(*outside), std::nullopt);
}

} // namespace
} // namespace quillbox
