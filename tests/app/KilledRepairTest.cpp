// Interrupts real repairs by the terminal front end (SIGKILL at many
// points, Ctrl+C, a flush the disk fails, a second program) and checks that
// no row was lost and the library is as it was or fixed.
#include "app/core/repair/LibraryRepair.h"
#include "app/core/texts/ExitStatus.h"
#include "app/core/texts/RepairReport.h"
#include "tests/support/KillHarness.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>

#include <array>

#include <csignal>

namespace quillbox::test
{
namespace
{

// Killed at each moment between the repair's stages, then at random times
// of a whole run: the repair run again to its end keeps every row (the
// ones only in the -wal file too) and every other file, one named like the
// rollback journal included, and leaves the folder tidy.
TEST_F(KilledRepairTest, aKilledRepairNeverLosesARow)
{
    pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 3000);
    test::writeFile(pristine + u"/Library.sqlite-journal"_qs, "not a journal");
    const auto beside = besideTheDatabase(pristine);
    const QByteArray folded = foldedDatabase(pristine);
    const std::array<Moment, 7> moments{copying,
                                        [this] { return QFileInfo::exists(copy); },
                                        dumping,
                                        rebuilding,
                                        checking,
                                        swapping,
                                        [this] {
                                            return !exists(u"/Library.sql"_qs) &&
                                                   QFileInfo::exists(copy);
                                        }};
    // Then killed by the fault library just before the new database takes
    // the library's name.
    const size_t atTheSwap = moments.size();
    const double full = fullRunUs();
    QRandomGenerator random(20261206);
    QElapsedTimer clock;
    for (size_t round = 0; round < 56; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        copyPristine();
        const auto at = static_cast<qint64>(full * random.generateDouble());
        const Moment late = [&] {
            return clock.nsecsElapsed() / 1000 >= at;
        };
        const Moment &moment = round < moments.size() ? moments.at(round) : late;
        renameFault = round == atTheSwap ? u"kill 1 /Library.sqlite"_qs : QString();
        const auto cli = start();
        renameFault.clear();
        clock.start();
        if (round == atTheSwap)
            cli->waitForFinished(20000);
        else
            waitFor([&] { return cli->state() != QProcess::Running || moment(); });
        killAtOnce(*cli);
        expectWholeDatabase(folded);
        const auto run = runToEnd();
        ASSERT_EQ(run.status, 0) << run.out.toStdString();
        // Before SQLite reads the database: it would delete the journal's name.
        EXPECT_EQ(besideTheDatabase(library), beside);
        EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs,
                               u"PRAGMA integrity_check; SELECT count(*) FROM notes;"
                               u"SELECT title FROM notebooks WHERE id = 21;"_qs),
                  u"ok\n3000\nWritten just before the crash");
        expectTidyFolder();
    }
}

// Ctrl+C at any moment, as a terminal sends it to the program's process
// group: until the damage is judged, the repair stops with the library as
// it was and nothing beside it; after, it finishes, its shells untouched by
// the signal. A kill in the middle of stopping is set right by the next start.
TEST_F(KilledRepairTest, ctrlCStopsOnlyWhileTheLibraryIsAsItWas)
{
    pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 3000);
    auto original = test::snapshot(pristine);
    const auto full = static_cast<qint64>(fullRunUs());
    QRandomGenerator random(6122026);
    int stopped = 0;
    for (int round = 0; round < 15; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // A larger library for the last rounds, whose check lasts long
        // enough for the signal to find its shells running.
        if (round == 12) {
            pristine = test::makeSampleLibrary(sandbox.path() + u"/large"_qs, 40000);
            original = test::snapshot(pristine);
        }
        copyPristine();
        const auto cli = start();
        // Once the copy has begun; at once in the first rounds, which so
        // always stop, then at any moment up to a third of a whole run on,
        // then once the new database is built, while it is checked.
        ASSERT_TRUE(waitFor(copying));
        if (round >= 6 && round < 12)
            QThread::usleep(static_cast<unsigned long>(random.bounded(full / 3)));
        if (round >= 12)
            waitFor([&] { return cli->state() != QProcess::Running || checking(); });
        // As Ctrl+C at a terminal: to the program's whole process group.
        ::kill(-static_cast<pid_t>(cli->processId()), SIGINT);
        if (round % 3 == 2) {
            QThread::usleep(static_cast<unsigned long>(random.bounded(3000)));
            cli->kill();
        }
        cli->waitForFinished(120000);
        const int status = cli->exitStatus() == QProcess::NormalExit ? cli->exitCode() : -1;
        // Stopped, killed or fixed: never a failure the signal made up.
        EXPECT_TRUE(status == 130 || status == -1 || status == 0)
            << cli->readAllStandardOutput().toStdString();
        if (status == 130) {
            ++stopped;
            EXPECT_EQ(test::snapshot(library), original);
            EXPECT_EQ(test::entries(parent), QStringList{u"Main.quillbox"_qs});
            continue;
        }
        ASSERT_TRUE(status == 0 || runToEnd().status == 0);
        EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs,
                               u"PRAGMA integrity_check; SELECT count(*) FROM notes;"_qs),
                  round < 12 ? u"ok\n3000"_qs : u"ok\n40000"_qs);
        expectTidyFolder();
    }
    EXPECT_GE(stopped, 3);
}

// A disk that fails one flush, or the dump's writes: the repair stops there,
// with the disk to blame, and the library is as it was (put back from its
// safety copy once the damaged files are gone), with nothing beside it. So does a file system that
// cannot lock the library: no repair goes on without its lock.
TEST_F(KilledRepairTest, aFlushThatFailsLeavesTheLibraryAsItWas)
{
    pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs);
    const auto original = test::snapshot(pristine);
    struct Case {
        const char *name;
        QString flush;
        QString lock;
        int status;
        const char *says = "";
        QString write = {};
    };
    for (const Case &c :
         {Case{"the safety copy's files", u"/Library.sqlite-wal"_qs, {}, 5},
          Case{"the safety copy's name", u"/work"_qs, {}, 5},
          Case{"the rebuilt database", u"-Library.sqlite"_qs, {}, 11},
          Case{"no lock", {}, u"/Main.quillbox"_qs, 10, "cannot be locked against other programs"},
          // Written through a buffer, as where splice() is refused.
          Case{"the dump's writes", {}, {}, 11, "disk could not be written", u"/Library.sql"_qs}}) {
        SCOPED_TRACE(c.name);
        copyPristine();
        failingFlush = c.flush;
        failingLock = c.lock;
        failingWrite = c.write;
        const auto run = runToEnd();
        EXPECT_EQ(run.status, c.status) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(c.says))) << run.out.toStdString();
        EXPECT_EQ(test::snapshot(library), original);
        EXPECT_EQ(test::entries(parent), QStringList{u"Main.quillbox"_qs});
    }
}

// A safety copy made slower than the dump, as on a slow disk, still holds
// the library as it was before the repair: the log index, which the dump's
// readers make anew, a file under the dump's name, and a rollback journal
// left by a crash with the database it belongs to, which the first reader
// plays back.
TEST_F(KilledRepairTest, aSlowSafetyCopyHoldsTheLibraryAsItWas)
{
    slowCopy = u"40"_qs;
    const auto bytes = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 300);
    test::writeFile(pristine + u"/Library.sql"_qs, "notes of my own");
    const QString plain = sandbox.path() + u"/plain"_qs;
    const QString crashed = sandbox.path() + u"/crashed"_qs;
    test::makePlainLibrary(plain, 2000);
    ASSERT_TRUE(QDir().mkpath(crashed));
    // The database and its journal, taken in the middle of a transaction
    // whose changes already reached the database.
    QProcess writer;
    writer.start(test::shellPath(),
                 {u"-batch"_qs, u"-init"_qs, u"/dev/null"_qs, plain + u"/Library.sqlite"_qs});
    writer.write("PRAGMA cache_size=1; BEGIN; UPDATE notes SET title = title || '!';"
                 "SELECT 'spilled';\n");
    ASSERT_TRUE(writer.waitForReadyRead(10000));
    for (const QString &name : {u"/Library.sqlite"_qs, u"/Library.sqlite-journal"_qs})
        ASSERT_TRUE(QFile::copy(plain + name, crashed + name));
    writer.kill();
    writer.waitForFinished();
    for (const QString &from : {pristine, crashed}) {
        SCOPED_TRACE(from.toStdString());
        pristine = from;
        copyPristine();
        const auto before = test::snapshot(library);
        const QByteArray index = bytes(library + u"/Library.sqlite-shm"_qs);
        const auto run = runToEnd();
        ASSERT_EQ(run.status, 0) << run.out.toStdString();
        EXPECT_EQ(test::snapshot(copy), before);
        EXPECT_EQ(bytes(copy + u"/Library.sqlite-shm"_qs), index);
    }
}

// A library beyond repair, repaired with --use-recovered: killed once the
// restore has put it back, and at each moment of the swap that follows, or
// with the swap's second move failing. The next start leaves one whole
// library under the library's name, the damaged one exactly as it was or the
// recovered one exactly as an uncut run leaves it, with the other beside it.
TEST_F(KilledRepairTest, aCutOffSwapLeavesOneWholeLibraryAndTheOtherBeside)
{
    pristine = sandbox.path() + u"/template/Main.quillbox"_qs;
    test::makePlainLibrary(pristine, 2000);
    test::corruptNotesPage(pristine + u"/Library.sqlite"_qs, 3);
    const auto damaged = test::snapshot(pristine, test::Times::Ignored);
    const QStringList useRecovered{u"--use-recovered"_qs};
    copyPristine();
    ASSERT_EQ(test::finish(*start(u"state"_qs, useRecovered)).status, 19);
    const auto recovered = test::snapshot(library, test::Times::Ignored);
    const QString journal = sandbox.path() + u"/state/quillbox-repair/repair-in-progress.json"_qs;
    struct Cut {
        const char *name;
        QString fault;
        bool swapped;
    };
    const std::array cases{
        Cut{"after the restore", u"killAfter 1 /Main.quillbox"_qs, false},
        Cut{"before the first move", u"kill 2 (Damaged).quillbox"_qs, false},
        Cut{"between the moves", u"killAfter 2 (Damaged).quillbox"_qs, true},
        Cut{"after both moves", u"killAfter 2 /Main.quillbox"_qs, true},
        Cut{"at a second move that fails", u"fail 2 /Main.quillbox"_qs, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        copyPristine();
        renameFault = c.fault;
        const auto cut = test::finish(*start(u"state"_qs, useRecovered));
        renameFault.clear();
        // Killed with its record left, or told the swap failed.
        EXPECT_TRUE(QFileInfo::exists(journal) ||
                    (cut.status == 6 && cut.out.contains(u"Input/output error"_qs)))
            << cut.out.toStdString();
        // The next start sets right what was cut off; the check only reads.
        const auto next = test::finish(*test::startProgram(
            u"quillbox-repair-cli"_qs, {u"--check"_qs, u"--library"_qs, library},
            environment(u"state"_qs)));
        EXPECT_EQ(next.status, c.swapped ? 0 : 17) << next.out.toStdString();
        const QString other =
            c.swapped ? u"Main (Damaged).quillbox"_qs : u"Main (Recovered).quillbox"_qs;
        EXPECT_EQ(test::entries(parent), (QStringList{other, u"Main.quillbox"_qs}));
        EXPECT_EQ(test::snapshot(library, test::Times::Ignored), c.swapped ? recovered : damaged);
        EXPECT_EQ(test::snapshot(parent + u'/' + other, test::Times::Ignored),
                  c.swapped ? damaged : recovered);
    }
}

// The shell alone killed, as the out-of-memory killer or a user would: while
// it dumps, while it rebuilds, then the k-th shell the repair starts, for a
// random k, while it runs. The repair says the shell was killed, never that
// the library is corrupt, and the library is as it was with nothing beside
// it (or fixed, when the shell was ending anyway).
TEST_F(KilledRepairTest, aShellKilledAloneIsReportedAsSuch)
{
    pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 3000);
    const auto original = test::snapshot(pristine);
    const std::array<Moment, 2> moments{dumping, rebuilding};
    QRandomGenerator random(20261207);
    int caught = 0;
    for (size_t round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        copyPristine();
        const auto cli = start();
        const qsizetype k = 1 + static_cast<qsizetype>(random.bounded(8));
        QSet<int> seen;
        const Moment kth = [&] {
            const QList<int> running = childrenOf(cli->processId(), "sqlite3");
            seen.unite(QSet<int>(running.begin(), running.end()));
            return seen.size() >= k && !running.isEmpty();
        };
        const Moment &moment = round < moments.size() ? moments.at(round) : kth;
        waitFor([&] { return cli->state() != QProcess::Running || moment(); });
        bool killed = false;
        for (const int shell : childrenOf(cli->processId(), "sqlite3"))
            killed = ::kill(shell, SIGKILL) == 0 || killed;
        const auto run = test::finish(*cli);
        EXPECT_FALSE(run.out.contains(u"corrupt"_qs)) << run.out.toStdString();
        if (run.status == 0) {
            // No shell ran then, or the signal came as it was ending anyway.
            EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs, u"PRAGMA integrity_check;"_qs),
                      u"ok");
            continue;
        }
        ++caught;
        EXPECT_TRUE(killed);
        EXPECT_EQ(run.status, exitStatus(RepairOutcome::ShellFailed)) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(u"killed by signal 9"_qs)) << run.out.toStdString();
        EXPECT_EQ(test::snapshot(library), original);
        EXPECT_EQ(test::entries(parent), QStringList{u"Main.quillbox"_qs});
    }
    EXPECT_GE(caught, 6);
}

} // namespace
} // namespace quillbox::test
