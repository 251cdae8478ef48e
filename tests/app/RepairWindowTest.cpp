#include "app/gui/RepairWindow.h"

#include "app/core/delegate/QBAppDelegate.h"
#include "app/core/fs/FolderLock.h"
#include "app/gui/DesktopWorkspace.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestDoubles.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
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

    void launch(const QString &folder)
    {
        delegate.setLibraryOverride(folder);
        delegate.applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.widget()));
    }

    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
    test::ScriptedAlerts alerts;
    test::FakeCompanionApps apps;
    test::RecordingWorkspace workspace;
    QBAppDelegate delegate{{alerts, apps, workspace}};
    RepairWindow window{delegate, alerts};
};

// From launch to the success alert. While another program repairs the
// library, Repair stays off and says so; it comes back once that program
// lets go. Then a check of the fixed library. A library that cannot be rebuilt then leaves what the
// salvage saved beside it, and the window offers the folder that holds it.
TEST_F(RepairWindowTest, repairsByButtonAndKeyAndOffersTheFolderAfterAFailure)
{
    test::makePlainLibrary(library, 500);
    FolderLocks otherProgram;
    ASSERT_EQ(otherProgram.lock(library), FolderLocks::Result::Taken);
    launch(library);
    const QPoint offCentre = window.widget()->frameGeometry().center() -
                             window.widget()->screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 1);
    auto *repair = child<QPushButton>("repairButton");
    EXPECT_FALSE(repair->isEnabled());
    EXPECT_EQ(child<QLabel>("stageLabel")->text(), u"Another program is repairing this library.");
    otherProgram.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return repair->isEnabled(); }, 3000));
    EXPECT_EQ(child<QLabel>("stageLabel")->text(), QString());

    QSignalSpy finished(&delegate, &QBAppDelegate::repairFinished);
    QSignalSpy terminate(&delegate, &QBAppDelegate::terminateRequested);
    QTest::mouseClick(repair, Qt::LeftButton);
    EXPECT_TRUE(delegate.isRepairing());
    delegate.fixLibrary(); // ignored while the first runs
    EXPECT_EQ(repair->text(), u"Cancel Repair");
    EXPECT_FALSE(child<QPushButton>("chooseButton")->isEnabled());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(finished.first().first().value<RepairOutcome>(), RepairOutcome::Fixed);
    EXPECT_EQ(delegate.backupFileURL().toLocalFile(),
              sandbox.path() + u"/Main (Old Version).quillbox"_qs);
    EXPECT_EQ(terminate.size(), 1);
    EXPECT_EQ(alerts.messages(), QStringList{u"The library file has been fixed!"_qs});
    EXPECT_EQ(child<QProgressBar>("progressBar")->value(), 1000);
    auto *show = child<QPushButton>("showFolderButton");
    EXPECT_FALSE(show->isVisible());

    // Check Library runs off the GUI thread with every button off, then
    // shows its verdict, the library byte for byte as it was. (Each kind of
    // verdict is the terminal's test.)
    auto *check = child<QPushButton>("checkButton");
    QSignalSpy checked(&delegate, &QBAppDelegate::checkFinished);
    const auto fixed = test::snapshot(library);
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(delegate.isChecking());
    EXPECT_FALSE(check->isEnabled() || repair->isEnabled() ||
                 child<QPushButton>("chooseButton")->isEnabled());
    ASSERT_TRUE(checked.wait(30000));
    EXPECT_EQ(alerts.messages().last(), u"The library is healthy.");
    EXPECT_EQ(test::snapshot(library), fixed);
    EXPECT_TRUE(check->isEnabled());

    test::corruptNotesPage(library + u"/Library.sqlite"_qs, 3);
    QList<QUrl> opened;
    window.setFolderOpener([&opened](const QUrl &folder) {
        opened.append(folder);
        return opened.size() == 1;
    });
    QTest::mouseClick(repair, Qt::LeftButton);
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_TRUE(show->isVisible());
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(sandbox.path())});
    // No file manager: the user is told where to look.
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(alerts.messages().last(), u"The folder could not be opened.");
    // Return repairs too; a closing key (one loop of shortcuts) cancels a
    // repair instead of closing the window, and closes it once it is idle.
    QTest::keyClick(window.widget(), Qt::Key_Return);
    EXPECT_TRUE(delegate.isRepairing());
    QTest::keyClick(window.widget(), Qt::Key_Escape);
    EXPECT_TRUE(window.widget()->isVisible());
    ASSERT_TRUE(finished.wait(60000));
    QTest::keyClick(window.widget(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(window.widget()->isHidden());
}

// A long path is elided in the middle, with the whole path as its tooltip,
// and does not widen the window. Without a library "Repair Library" is off,
// and so is Return, until one is chosen.
TEST_F(RepairWindowTest, showsTheLibraryOrOffersToChooseOne)
{
    const QString deep = sandbox.path() + QString(u"/a folder with a long name"_qs).repeated(12) +
                         u"/Main.quillbox"_qs;
    QWidget *widget = window.widget();
    auto *label = child<QLabel>("libraryLabel");
    for (const QString &folder : {deep, QString()}) {
        SCOPED_TRACE(folder.toStdString());
        widget->hide();
        launch(folder);
        EXPECT_EQ(label->toolTip(), folder);
        EXPECT_LT(widget->minimumWidth(), 520);
        if (!folder.isEmpty()) {
            const QString shown = label->text();
            EXPECT_TRUE(shown.startsWith(u"Library: "_qs + sandbox.path()) &&
                        shown.endsWith(u"/Main.quillbox"_qs) && shown.contains(u'…'))
                << shown.toStdString();
            EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
            widget->resize(widget->width() + 200, widget->height());
            QCoreApplication::processEvents();
            EXPECT_GT(label->text().size(), shown.size())
                << "a wider window shows more of the path";
        }
    }
    auto *repair = child<QPushButton>("repairButton");
    EXPECT_FALSE(repair->isEnabled());
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_FALSE(delegate.isRepairing());
    EXPECT_TRUE(label->text().startsWith(u"No Quillbox library was found."));
    QString chosen = sandbox.path();
    window.setFolderChooser([&](QWidget *, const QString &startFolder) {
        EXPECT_EQ(startFolder, QDir::homePath());
        return chosen;
    });
    QTest::mouseClick(child<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_EQ(alerts.messages(), QStringList{u"This folder is not a Quillbox library."_qs});
    EXPECT_FALSE(repair->isEnabled());
    test::makePlainLibrary(library, 5);
    chosen = library;
    QTest::mouseClick(child<QPushButton>("chooseButton"), Qt::LeftButton);
    EXPECT_TRUE(repair->isEnabled());
    EXPECT_EQ(delegate.libraryFileURL().toLocalFile(), library);
}

// A mail program opens the support mail; without one, the address is
// shown and can be copied.
TEST(DesktopWorkspaceTest, withoutAMailProgramOffersToCopyTheAddress)
{
    test::ScriptedAlerts alerts;
    alerts.answers = {kFirstButton}; // Copy Address
    DesktopWorkspace workspace(alerts);
    QList<QUrl> opened;
    workspace.setOpener([&](const QUrl &url) {
        opened.append(url);
        return opened.size() == 1; // a mail program only the first time
    });
    const QUrl mail(u"mailto:support@quillbox.example?subject=Help"_qs);
    workspace.openUrl(mail);
    workspace.openUrl(mail);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened == QList<QUrl>{mail, mail}; }));
    ASSERT_EQ(alerts.shown.size(), 1); // only when no mail program opened
    EXPECT_EQ(alerts.shown[0].informativeText,
              u"Write to Quillbox Support at support@quillbox.example."_qs);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"support@quillbox.example"_qs);
}

} // namespace
} // namespace quillbox
