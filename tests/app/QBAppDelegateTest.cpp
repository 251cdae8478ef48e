#include "app/core/delegate/QBAppDelegate.h"

#include "app/core/companion/Bookmark.h"
#include "app/core/companion/Companion.h"
#include "app/core/companion/Preferences.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

class QBAppDelegateTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(library)); }

    QString launch()
    {
        delegate.applicationDidFinishLaunching();
        return delegate.libraryFileURL().toLocalFile();
    }

    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
    test::ScopedEnv configHome{"XDG_CONFIG_HOME", sandbox.path() + u"/config"_qs};
    test::ScriptedAlerts alerts;
    test::FakeCompanionApps apps;
    test::RecordingWorkspace workspace;
    QBAppDelegate delegate{{alerts, apps, workspace}};
};

// Without preferences, or with broken ones, no library is found. (That the
// window is centred and shown is checked on the real window.)
TEST_F(QBAppDelegateTest, findsTheLibraryThroughTheCompanionsBookmarkUnlessTheAlternateIsInstalled)
{
    EXPECT_EQ(launch(), u"") << "no preferences file";
    const struct {
        const char *name;
        QByteArray contents;
    } cases[] = {
        {"notIni", QByteArray("\x00\xff\x10[[[=\n\x01", 9)},
        {"textNotData", "[General]\nLastLibraryLocation=/home/user/Main.quillbox\n"},
    };
    ASSERT_TRUE(QDir().mkpath(sandbox.path() + u"/config"_qs));
    for (const auto &c : cases) {
        test::writeFile(companionPreferencesPath(), c.contents);
        EXPECT_EQ(launch(), u"") << c.name;
    }

    ASSERT_TRUE(writeLibraryLocation(*createBookmarkData(library)));
    EXPECT_EQ(launch(), library);
    apps.installed = {companion::kAlternateIdentifier};
    EXPECT_EQ(launch(), u"");
}

} // namespace
} // namespace quillbox
