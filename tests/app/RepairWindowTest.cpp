#include "app/gui/RepairWindow.h"

#include "app/core/QBAppDelegate.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

class RepairWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        delegate.setShellExecutable(test::shellPath());
        delegate.setWindow(&window);
    }

    template<typename T> T *child(const char *name)
    {
        return window.widget()->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
    test::ScriptedAlerts alerts;
    test::FakeCompanionApps apps;
    test::RecordingWorkspace workspace;
    QBAppDelegate delegate{{alerts, apps, workspace}};
    RepairWindow window{delegate, alerts};
};

TEST_F(RepairWindowTest, repairsFromLaunchToTheSuccessAlertAndQuits)
{
    test::makePlainLibrary(library, 500);
    delegate.setLibraryOverride(library);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(window.widget()->isVisible());
    EXPECT_EQ(child<QLabel>("libraryLabel")->text(), u"Library: "_qs + library);
    auto *repair = child<QPushButton>("repairButton");
    ASSERT_TRUE(repair->isEnabled());

    QSignalSpy finished(&delegate, &QBAppDelegate::repairFinished);
    QSignalSpy terminate(&delegate, &QBAppDelegate::terminateRequested);
    QTest::mouseClick(repair, Qt::LeftButton);
    EXPECT_TRUE(delegate.isRepairing());
    delegate.fixLibrary(); // ignored while the first runs
    EXPECT_FALSE(repair->isEnabled());
    EXPECT_FALSE(child<QPushButton>("chooseButton")->isEnabled());
    EXPECT_FALSE(window.widget()->close()) << "the window stays open mid-repair";

    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.first().first().value<RepairOutcome>(), RepairOutcome::Fixed);
    EXPECT_FALSE(delegate.isRepairing());
    EXPECT_EQ(delegate.backupFileURL().toLocalFile(),
              sandbox.path() + u"/Main (Old Version).quillbox"_qs);
    EXPECT_EQ(terminate.size(), 1);
    EXPECT_EQ(alerts.messages(), QStringList{u"The library file has been fixed!"_qs});
    EXPECT_EQ(child<QProgressBar>("progressBar")->value(), 1000);
    EXPECT_TRUE(window.widget()->close());
}

TEST_F(RepairWindowTest, withoutALibraryOffersToChooseOne)
{
    delegate.applicationDidFinishLaunching();
    auto *repair = child<QPushButton>("repairButton");
    EXPECT_FALSE(repair->isEnabled());
    EXPECT_TRUE(
        child<QLabel>("libraryLabel")->text().startsWith(u"No Quillbox library was found."));

    QString chosen = sandbox.path();
    window.setFolderChooser([&chosen](QWidget *) { return chosen; });
    QTest::mouseClick(child<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_EQ(alerts.messages(), QStringList{u"This folder is not a Quillbox library."_qs});
    EXPECT_FALSE(repair->isEnabled());

    test::makePlainLibrary(library, 5);
    chosen = library;
    QTest::mouseClick(child<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_TRUE(repair->isEnabled());
    EXPECT_EQ(delegate.libraryFileURL().toLocalFile(), library);
}

} // namespace
} // namespace quillbox
