// The terminal front end as a user runs it: a real process, real libraries.
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

struct CliRun {
    int status;
    QString output;
};

class CliTest : public ::testing::Test
{
  protected:
    CliRun cli(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_qs, xdg.path() + u"/config"_qs);
        env.insert(u"XDG_DATA_HOME"_qs, xdg.path() + u"/data"_qs);
        env.insert(u"XDG_STATE_HOME"_qs, xdg.path() + u"/state"_qs);
        env.insert(u"LANG"_qs, u"C.UTF-8"_qs);
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QCoreApplication::applicationDirPath() + u"/quillbox-repair-cli"_qs,
                      arguments);
        process.waitForFinished(60000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() +
                                                      process.readAllStandardError())};
    }
    QTemporaryDir xdg;
    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
};

TEST_F(CliTest, exitStatusTellsTheOutcome)
{
    const CliRun help = cli({u"--help"_qs});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.contains(u"6  the library is beyond repair; it was restored"));
    EXPECT_EQ(cli({u"--bogus"_qs}).status, 1);

    const CliRun none = cli({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.output.contains(u"No Quillbox library was found."));

    test::makePlainLibrary(library, 30);
    const CliRun fixed = cli({u"--library"_qs, library});
    EXPECT_EQ(fixed.status, 0) << fixed.output.toStdString();
    EXPECT_TRUE(fixed.output.contains(u"The library file has been fixed!"));

    // Without a terminal the corrupt report takes Cancel and restores.
    test::corruptPage(library + u"/Library.sqlite"_qs, 1);
    const auto before = test::snapshot(library);
    const CliRun run = cli({u"--library"_qs, library});
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(run.output.contains(u"choosing “Cancel”"));
    EXPECT_TRUE(run.output.contains(u"support@quillbox.example"));
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(
        QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{u"Main (Old Version).quillbox"_qs, u"Main.quillbox"_qs}));
}

TEST_F(CliTest, salvageOnlyWritesARecoveredCopyAndLeavesTheLibraryAlone)
{
    EXPECT_EQ(cli({u"--salvage-only"_qs}).status, 1);
    test::makePlainLibrary(library, 2000);
    const QString db = library + u"/Library.sqlite"_qs;
    test::corruptPage(
        db,
        test::runSql(db, u"SELECT rootpage FROM sqlite_schema WHERE name = 'notes';"_qs).toInt() +
            3);
    const auto before = test::snapshot(library);

    const CliRun run = cli({u"--salvage-only"_qs, u"--library"_qs, library});
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(u"Main (Recovered).quillbox"));
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(
        QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{u"Main (Recovered).quillbox"_qs, u"Main.quillbox"_qs}));
    EXPECT_EQ(test::runSql(sandbox.path() + u"/Main (Recovered).quillbox/Library.sqlite"_qs,
                           u"PRAGMA integrity_check;"_qs),
              u"ok");
}

} // namespace
} // namespace quillbox
