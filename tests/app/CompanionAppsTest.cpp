#include "app/core/companion/CompanionApps.h"

#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

// Desktop entries in a private XDG data folder; a real process stands in
// for the running companion.
class CompanionAppsTest : public ::testing::Test
{
  protected:
    void writeEntry(const QString &folder, const QString &id, const QByteArray &body)
    {
        const QString applications = data.path() + u'/' + folder + u"/applications/"_qs;
        ASSERT_TRUE(QDir().mkpath(applications));
        test::writeFile(applications + id + u".desktop"_qs,
                        "[Desktop Entry]\nType=Application\nName=Quillbox\n" + body);
    }

    QTemporaryDir data;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    test::ScopedEnv dataDirs{"XDG_DATA_DIRS", data.path() + u"/system"_qs};
    DesktopCompanionApps apps;
};

// Installed means a desktop entry in any applications folder; running, a
// process of the program the entry names. A private copy of sleep plays the
// companion's executable.
TEST_F(CompanionAppsTest, installedAndRunningFollowTheDesktopEntries)
{
    const QString program = data.path() + u"/quillbox-companion"_qs;
    ASSERT_TRUE(QFile::copy(u"/bin/sleep"_qs, program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    writeEntry(u"."_qs, u"com.quillbox.Quillbox"_qs,
               "Exec=\"" + program.toUtf8() + "\" --library %f\n");
    writeEntry(u"system"_qs, u"com.quillbox.Quillbox.mac"_qs,
               "TryExec=" + program.toUtf8() + "\nExec=other\n");
    EXPECT_TRUE(apps.isInstalled(u"com.quillbox.Quillbox"_qs));
    EXPECT_TRUE(apps.isInstalled(u"com.quillbox.Quillbox.mac"_qs));
    EXPECT_FALSE(apps.isInstalled(u"com.quillbox"_qs));

    QProcess companion;
    companion.start(program, {u"30"_qs});
    ASSERT_TRUE(companion.waitForStarted());
    EXPECT_TRUE(apps.isRunning(u"com.quillbox.Quillbox"_qs));
    EXPECT_TRUE(apps.isRunning(u"com.quillbox.Quillbox.mac"_qs));
    companion.kill();
    companion.waitForFinished();
    EXPECT_FALSE(apps.isRunning(u"com.quillbox.Quillbox"_qs));
}

} // namespace
} // namespace quillbox
