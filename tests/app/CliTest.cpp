// The terminal front end as a user runs it: a real process, real libraries.
#include "app/core/fs/FolderLock.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace quillbox
{
namespace
{

class CliTest : public ::testing::Test
{
  protected:
    // Runs one of the built programs (with the test's own XDG folders) in
    // `locale`, with `environment` as test::startProgram() takes it.
    static test::ProgramRun run(const QString &program, const QStringList &arguments,
                                const QString &locale = u"C.UTF-8"_qs,
                                const QStringList &environment = {})
    {
        return test::finish(*test::startProgram(
            program, arguments,
            environment + QStringList{u"LANG="_qs + locale, u"LC_ALL="_qs + locale}));
    }
    static test::ProgramRun cli(const QStringList &arguments, const QString &locale = u"C.UTF-8"_qs)
    {
        return run(u"quillbox-repair-cli"_qs, arguments, locale);
    }
    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
};

// The exit status tells the outcome; --salvage-only writes a recovered copy
// beside the library and leaves the library alone. A repair that cannot fix
// the library offers its recovered copy in its place: without a terminal to
// ask, both stay; with --use-recovered, the copy takes the library's name.
TEST_F(CliTest, exitStatusTellsTheOutcome)
{
    test::makePlainLibrary(library, 2000);
    EXPECT_EQ(cli({u"--salvage-only"_qs}).status, 1);
    test::corruptNotesPage(library + u"/Library.sqlite"_qs, 3);
    const auto before = test::snapshot(library);
    const auto salvage = cli({u"--salvage-only"_qs, u"--library"_qs, library});
    EXPECT_EQ(salvage.status, 0) << salvage.err.toStdString();
    EXPECT_TRUE(salvage.out.contains(u"Main (Recovered).quillbox"));
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(test::entries(sandbox.path()),
              (QStringList{u"Main (Recovered).quillbox"_qs, u"Main.quillbox"_qs}));

    // Without a terminal the corrupt report takes Cancel and restores.
    const auto corrupt = cli({u"--library"_qs, library});
    EXPECT_EQ(corrupt.status, 6);
    EXPECT_TRUE(corrupt.out.contains(u"choosing “Cancel”"));
    EXPECT_TRUE(corrupt.out.contains(u"choosing “Keep As It Is”"));
    EXPECT_EQ(corrupt.out.count(u"support@quillbox.example"_qs), 1) << corrupt.out.toStdString();
    EXPECT_EQ(test::snapshot(library), before);

    const auto used = cli({u"--use-recovered"_qs, u"--library"_qs, library});
    EXPECT_EQ(used.status, 19) << used.out.toStdString();
    EXPECT_FALSE(used.out.contains(u"Keep As It Is"_qs));
    EXPECT_TRUE(used.out.contains(u"The recovered library is now in use."_qs));
    EXPECT_EQ(test::snapshot(sandbox.path() + u"/Main (Damaged).quillbox"_qs), before);
    EXPECT_EQ(test::entries(sandbox.path()),
              (QStringList{u"Main (Damaged).quillbox"_qs, u"Main (Recovered) 1.quillbox"_qs,
                           u"Main (Recovered).quillbox"_qs, u"Main.quillbox"_qs}));
    EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs, u"PRAGMA integrity_check;"_qs), u"ok");
}

// Each mistake is told once, on standard error, naming what was wrong and
// what to do; nothing goes to standard output. (One row in German: every
// text goes through the same translation, which TranslationTest covers; the
// help, which is put together from several texts, has none left in English.)
TEST_F(CliTest, badInputsAreToldOnceInTheUsersWords)
{
    const QString usage =
        u"Usage: quillbox-repair-cli [--check | --salvage-only | --use-recovered] "
        "[--library DIR]\n"
        "Try “quillbox-repair-cli --help” for more.\n"_qs;
    const QString give = u"Give --library the folder that holds “Library.sqlite”.\n"_qs;
    const struct {
        QStringList arguments;
        int status;
        QString expected;
    } cases[] = {
        {{u"--bogus"_qs}, 1, u"Unknown option “--bogus”.\n"_qs + usage},
        {{u"--library"_qs, u"/"_qs, u"extra"_qs}, 1, u"Unexpected argument “extra”.\n"_qs + usage},
        {{u"--check"_qs, u"--salvage-only"_qs},
         1,
         u"“--check” and “--salvage-only” cannot be given together.\n"_qs + usage},
        {{u"--use-recovered"_qs, u"--check"_qs},
         1,
         u"“--use-recovered” goes with a repair, not with “--check” or “--salvage-only”.\n"_qs +
             usage},
        {{u"--library"_qs, u"/nope"_qs}, 2, u"There is no folder “/nope”.\n"_qs + give},
        {{u"--library=/dev/null"_qs}, 2, u"“/dev/null” is a file, not a folder.\n"_qs + give},
        {{},
         2,
         u"No Quillbox library was found.\nName the library folder with --library DIR.\n"_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const auto run = cli(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, u"quillbox-repair-cli: "_qs + c.expected);
        EXPECT_EQ(run.out, QString());
    }
    EXPECT_EQ(
        cli({u"--bogus"_qs}, u"de_DE.UTF-8"_qs).err,
        u"quillbox-repair-cli: Unbekannte Option „--bogus“.\nAufruf: quillbox-repair-cli "
        "[--check | --salvage-only | --use-recovered] [--library ORDNER]\nMehr dazu mit „quillbox-repair-cli --help“.\n"_qs);
    EXPECT_EQ(run(u"quillbox-set-library"_qs, {}).err,
              u"quillbox-set-library: No folder was given.\nUsage: quillbox-set-library DIR\n"
              "Try “quillbox-set-library --help” for more.\n"_qs);
}

// --check tells the damage by its exit status and names each damaged table
// and index, and leaves the library byte for byte as it was, with nothing
// beside it: a library in write-ahead-log mode without a -wal file too,
// which its first reader gives one. It waits for no repair.
TEST_F(CliTest, checkTellsTheDamageAndChangesNothing)
{
    const QString healthy = u"Library: %1\n\nThe library is healthy.\nSQLite's check found no "
                            "damage in “%1”. The check changed nothing in the library.\n"_qs;
    const QString repairable = u"The library is damaged, and a repair would fix it exactly."_qs;
    const QString refused = u"The library is damaged beyond an exact repair."_qs;
    const QString index = u"Index “notes_by_title”: damaged. It can be rebuilt exactly from its "
                          "table."_qs;
    const QString table =
        u"Table “notes”: damaged; rows are lost. A repair would refuse and save what can be read."_qs;
    const struct {
        const char *name;
        const char *arrange; // SQL run on the plain library
        QString dbstatName;  // the b-tree one of whose leaves is overwritten; none when empty
        int status;
        QStringList expected; // in the output, in this order
        QString absent = {};
    } cases[] = {
        {"healthyInWalMode", "PRAGMA journal_mode=WAL;", {}, 0, {healthy}},
        {"damagedIndex", "", u"notes_by_title"_qs, 16, {repairable, index}, u"Table “"_qs},
        {"damagedTable", "", u"notes"_qs, 17, {refused, table}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = sandbox.path() + u'/' + QLatin1String(c.name);
        test::makePlainLibrary(folder, 2000);
        const QString db = folder + u"/Library.sqlite"_qs;
        test::runSql(db, QString::fromUtf8(c.arrange));
        if (!c.dbstatName.isEmpty())
            test::corruptPage(
                db, test::runSql(db, u"SELECT pageno FROM dbstat WHERE name = '%1' "
                                     "AND pagetype = 'leaf' LIMIT 1 OFFSET 3;"_qs.arg(c.dbstatName))
                        .toInt());
        const auto before = test::snapshot(folder);
        const QStringList entries = test::entries(sandbox.path());
        const auto run = cli({u"--check"_qs, u"--library"_qs, folder});
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        qsizetype at = 0;
        for (const QString &expected : c.expected) {
            at = run.out.indexOf(expected.contains(u"%1") ? expected.arg(folder) : expected, at);
            EXPECT_GE(at, 0) << expected.toStdString() << "\nin:\n" << run.out.toStdString();
        }
        EXPECT_TRUE(c.absent.isEmpty() || !run.out.contains(c.absent)) << run.out.toStdString();
        EXPECT_EQ(test::snapshot(folder), before);
        EXPECT_EQ(test::entries(sandbox.path()), entries);
    }
    FolderLocks repairing;
    ASSERT_EQ(repairing.lock(sandbox.path() + u"/damagedTable"_qs), FolderLocks::Result::Taken);
    const auto waiting =
        cli({u"--check"_qs, u"--library"_qs, sandbox.path() + u"/damagedTable"_qs});
    EXPECT_EQ(waiting.status, 12);
    EXPECT_TRUE(waiting.out.contains(u"A repair is already running."_qs))
        << waiting.out.toStdString();
}

// A database its owner made read-only, with recent changes only in its log,
// repaired as that owner runs the program (root, whom no mode stops, would
// not see it): the log is folded in all the same, and the new database keeps
// every row and the read-only mode.
TEST_F(CliTest, aReadOnlyDatabaseOfTheUsersIsRepairedKeepingItsMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "runs the program as another user, which needs root";
    const QString home = sandbox.path() + u"/user"_qs;
    const QString owned = test::makeSampleLibrary(home, 300);
    ASSERT_TRUE(QFile::setPermissions(owned + u"/Library.sqlite"_qs,
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_EQ(QProcess::execute(u"chown"_qs, {u"-R"_qs, u"65534:65534"_qs, home}), 0);
    ASSERT_EQ(QProcess::execute(u"chmod"_qs, {u"755"_qs, sandbox.path()}), 0);
    // The program and its shell, where that user can reach them (the build
    // may sit in a folder only root can enter).
    const QString program = sandbox.path() + u"/bin/quillbox-repair-cli"_qs;
    for (const QString &name :
         {u"/bin/quillbox-repair-cli"_qs, u"/libexec/quillbox-repair/sqlite3"_qs})
        ASSERT_EQ(
            QProcess::execute(u"install"_qs,
                              {u"-D"_qs, QCoreApplication::applicationDirPath() + u"/.."_qs + name,
                               sandbox.path() + name}),
            0);
    const QStringList asUser{u"--reuid=65534"_qs, u"--regid=65534"_qs, u"--clear-groups"_qs};
    if (QProcess::execute(u"setpriv"_qs, asUser + QStringList{u"test"_qs, u"-x"_qs, program}) != 0)
        GTEST_SKIP() << "the temporary folder is out of another user's reach here";
    const QString data = home + u"/data"_qs;
    QProcess user;
    user.start(u"setpriv"_qs,
               asUser + QStringList{u"env"_qs, u"HOME="_qs + data, u"XDG_CONFIG_HOME="_qs + data,
                                    u"XDG_STATE_HOME="_qs + data, program, u"--library"_qs, owned});
    const auto run = test::finish(user);
    EXPECT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(
        test::runSql(owned + u"/Library.sqlite"_qs,
                     u"PRAGMA integrity_check; SELECT title FROM notebooks WHERE id = 21;"_qs),
        u"ok\nWritten just before the crash");
    struct stat st {
    };
    ASSERT_EQ(::stat(QFile::encodeName(owned + u"/Library.sqlite"_qs).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444U);
}

} // namespace
} // namespace quillbox
