// Kills the terminal front end with SIGKILL at many points of real repairs,
// starts it again, and checks that no row was lost.
#include "app/core/QBAppDelegate.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestDoubles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

#include <csignal>

namespace quillbox
{
namespace
{

class InterruptedRepairTest : public ::testing::Test
{
  protected:
    QProcess *start(const QString &library, const QString &state = u"state"_qs)
    {
        auto *cli = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_STATE_HOME"_qs, sandbox.path() + u'/' + state);
        env.insert(u"XDG_CONFIG_HOME"_qs, sandbox.path() + u"/config"_qs);
        cli->setProcessEnvironment(env);
        cli->setStandardInputFile(QProcess::nullDevice());
        cli->start(QCoreApplication::applicationDirPath() + u"/quillbox-repair-cli"_qs,
                   {u"--library"_qs, library});
        cli->waitForStarted();
        return cli;
    }
    // Runs the front end to its end; its exit status and what it printed.
    std::pair<int, QString> runToEnd(const QString &library, const QString &state = u"state"_qs)
    {
        std::unique_ptr<QProcess> cli(start(library, state));
        cli->waitForFinished(120000);
        return {cli->exitCode(), QString::fromUtf8(cli->readAll())};
    }
    // Starts a repair and kills it as soon as `when` holds, or after 20 s.
    void killWhen(const QString &library, const std::function<bool(qint64 elapsedUs)> &when)
    {
        std::unique_ptr<QProcess> cli(start(library));
        QElapsedTimer clock;
        clock.start();
        while (cli->state() == QProcess::Running && !when(clock.nsecsElapsed() / 1000) &&
               clock.elapsed() < 20000)
            QThread::usleep(200);
        cli->kill();
        cli->waitForFinished();
        ++kills;
    }
    // Waits until `when` holds, for 20 s at most; false when it never did.
    static bool waitFor(const std::function<bool()> &when)
    {
        QElapsedTimer clock;
        clock.start();
        while (!when() && clock.elapsed() < 20000)
            QThread::usleep(200);
        return when();
    }
    void copyTemplate(const QString &from, const QString &to)
    {
        QDir(QFileInfo(to).path()).removeRecursively();
        QDir().mkpath(QFileInfo(to).path());
        ASSERT_EQ(QProcess::execute(u"cp"_qs, {u"-a"_qs, from, to}), 0);
    }
    // Only the library, its safety copies and complete recovered copies may
    // stand beside it.
    void expectTidyFolder(const QString &library)
    {
        for (const QString &name :
             QDir(QFileInfo(library).path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            EXPECT_TRUE(name == u"Main.quillbox" || name.startsWith(u"Main (Old Version)") ||
                        name.startsWith(u"Main (Recovered)"))
                << name.toStdString();
            if (name.startsWith(u"Main (Recovered)")) {
                EXPECT_EQ(
                    test::runSql(QFileInfo(library).path() + u'/' + name + u"/Library.sqlite"_qs,
                                 u"PRAGMA integrity_check;"_qs),
                    u"ok");
            }
        }
    }

    QTemporaryDir sandbox;
    int kills = 0;
};

TEST_F(InterruptedRepairTest, aKilledRepairNeverLosesARow)
{
    const QString pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 3000);
    const QString library = sandbox.path() + u"/work/Main.quillbox"_qs;
    const QString parent = QFileInfo(library).path();

    copyTemplate(pristine, library);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(runToEnd(library).first, 0);
    const qint64 fullRunUs = clock.nsecsElapsed() / 1000;

    // The moments between stages, as the files show them, then random ones.
    const std::vector<std::function<bool(qint64)>> boundaries{
        [&](qint64) {
            return !QDir(parent)
                        .entryList({u".quillbox-copy-*"_qs}, QDir::Hidden | QDir::Dirs)
                        .isEmpty();
        },
        [&](qint64) { return QFileInfo::exists(parent + u"/Main (Old Version).quillbox"_qs); },
        [&](qint64) { return QFileInfo::exists(library + u"/Library.sql"_qs); },
        [&](qint64) { return !QFileInfo::exists(library + u"/Library.sqlite"_qs); },
        [&](qint64) {
            return QFileInfo(library + u"/Library.sqlite"_qs).size() > 0 &&
                   !QFileInfo::exists(library + u"/Library.sqlite-wal"_qs);
        },
        [&](qint64) {
            return !QFileInfo::exists(library + u"/Library.sql"_qs) &&
                   QFileInfo::exists(parent + u"/Main (Old Version).quillbox"_qs);
        },
    };
    QRandomGenerator random(20261206);
    for (int round = 0; round < 56; ++round) {
        copyTemplate(pristine, library);
        if (round < static_cast<int>(boundaries.size())) {
            killWhen(library, boundaries[static_cast<size_t>(round)]);
        } else {
            const qint64 at = static_cast<qint64>(random.bounded(static_cast<double>(fullRunUs)));
            killWhen(library, [at](qint64 elapsed) { return elapsed >= at; });
        }
        const auto [status, output] = runToEnd(library);
        ASSERT_EQ(status, 0) << "round " << round << ": " << output.toStdString();
        EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs,
                               u"PRAGMA integrity_check; SELECT count(*) FROM notes;"
                               u"SELECT title FROM notebooks WHERE id = 21;"_qs),
                  u"ok\n3000\nWritten just before the crash")
            << "round " << round;
        expectTidyFolder(library);
    }
    EXPECT_GE(kills, 50);
}

// Ctrl+C at any moment: before the damaged database goes, the repair stops
// with the library as it was and nothing beside it; after, it finishes. A
// kill in the middle of stopping is set right by the next start.
TEST_F(InterruptedRepairTest, ctrlCStopsOnlyWhileTheLibraryIsAsItWas)
{
    const QString pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 3000);
    // SQLite's shared-memory index is rewritten by every reader (its read
    // marks) and holds none of the library's data: only its presence counts.
    const auto withoutIndexBytes = [](QMap<QString, QByteArray> items) {
        items[u"Library.sqlite-shm"_qs] = "present";
        return items;
    };
    const auto original = withoutIndexBytes(test::snapshot(pristine));
    const QString library = sandbox.path() + u"/work/Main.quillbox"_qs;
    copyTemplate(pristine, library);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(runToEnd(library).first, 0);
    const qint64 fullRunUs = clock.nsecsElapsed() / 1000;

    QRandomGenerator random(6122026);
    int stopped = 0;
    for (int round = 0; round < 12; ++round) {
        copyTemplate(pristine, library);
        std::unique_ptr<QProcess> cli(start(library));
        // Once the copy has begun; at once in the first rounds, which so
        // always stop, then at any moment up to a third of a whole run on.
        ASSERT_TRUE(waitFor([&] {
            return !QDir(QFileInfo(library).path())
                        .entryList({u".quillbox-copy-*"_qs}, QDir::Hidden | QDir::Dirs)
                        .isEmpty();
        }));
        if (round >= 6)
            QThread::usleep(static_cast<unsigned long>(random.bounded(fullRunUs / 3)));
        ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
        if (round % 3 == 2) {
            QThread::usleep(static_cast<unsigned long>(random.bounded(3000)));
            cli->kill();
        }
        cli->waitForFinished(120000);
        const int status = cli->exitStatus() == QProcess::NormalExit ? cli->exitCode() : -1;
        if (status == 130) {
            ++stopped;
            EXPECT_EQ(withoutIndexBytes(test::snapshot(library)), original) << "round " << round;
            EXPECT_EQ(QDir(QFileInfo(library).path())
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      QStringList{u"Main.quillbox"_qs})
                << "round " << round;
            continue;
        }
        if (status != 0) {
            ASSERT_EQ(runToEnd(library).first, 0) << "round " << round;
        }
        EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs,
                               u"PRAGMA integrity_check; SELECT count(*) FROM notes;"_qs),
                  u"ok\n3000")
            << "round " << round;
        expectTidyFolder(library);
    }
    EXPECT_GE(stopped, 3);
}

TEST_F(InterruptedRepairTest, aKilledRestoreStillPutsTheLibraryBack)
{
    const QString pristine = sandbox.path() + u"/template/Main.quillbox"_qs;
    test::makePlainLibrary(pristine, 4000);
    test::corruptNotesPage(pristine + u"/Library.sqlite"_qs, 200);
    const auto original = test::snapshot(pristine);
    const QString library = sandbox.path() + u"/work/Main.quillbox"_qs;

    copyTemplate(pristine, library);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(runToEnd(library).first, 6);
    const qint64 fullRunUs = clock.nsecsElapsed() / 1000;

    QRandomGenerator random(1206);
    for (int round = 0; round < 16; ++round) {
        copyTemplate(pristine, library);
        // Late in the run, where the restore happens.
        const qint64 at =
            fullRunUs / 2 + static_cast<qint64>(random.bounded(static_cast<double>(fullRunUs / 2)));
        killWhen(library, [at](qint64 elapsed) { return elapsed >= at; });
        const auto [status, output] = runToEnd(library);
        EXPECT_EQ(status, 6) << "round " << round << ": " << output.toStdString();
        EXPECT_EQ(test::snapshot(library), original) << "round " << round;
        expectTidyFolder(library);
    }
}

TEST_F(InterruptedRepairTest, aSecondProgramNeverTouchesARepairInProgress)
{
    const QString pristine = test::makeSampleLibrary(sandbox.path() + u"/template"_qs, 20000);
    const QString library = sandbox.path() + u"/work/Main.quillbox"_qs;
    const QString parent = QFileInfo(library).path();
    // Moments in the first program's repair, none of which holds once it
    // has ended: copying, dumping, rebuilding (the damaged database under
    // its hidden name), checking (the damaged database gone, the dump not
    // yet).
    const QString hidden = library + u"/.quillbox-removed-Library.sqlite"_qs;
    const auto moments = [&] {
        return std::vector<std::function<bool()>>{
            [&] {
                return !QDir(parent)
                            .entryList({u".quillbox-copy-*"_qs}, QDir::Hidden | QDir::Dirs)
                            .isEmpty();
            },
            [&] { return QFileInfo(library + u"/Library.sql"_qs).size() > 0; },
            [&] { return QFileInfo::exists(hidden); },
            [&, renamed = false]() mutable {
                renamed = renamed || QFileInfo::exists(hidden);
                return renamed && !QFileInfo::exists(hidden) &&
                       QFileInfo::exists(library + u"/Library.sql"_qs);
            },
        };
    };
    int caught = 0;
    for (size_t moment = 0; moment < moments().size(); ++moment) {
        for (const QString &state : {u"state"_qs, u"other-state"_qs}) {
            SCOPED_TRACE(QStringLiteral("moment %1, %2").arg(moment).arg(state).toStdString());
            copyTemplate(pristine, library);
            std::unique_ptr<QProcess> first(start(library));
            if (!waitFor(moments()[moment]))
                continue; // the first one was too quick for this moment
            // Held at this moment, the first program cannot end before the
            // second has tried; what it has started goes on meanwhile.
            ::kill(static_cast<pid_t>(first->processId()), SIGSTOP);
            ++caught;
            const auto [status, output] = runToEnd(library, state);
            EXPECT_EQ(status, 12) << output.toStdString();
            EXPECT_TRUE(output.contains(u"A repair is already running."));
            if (state == u"state") {
                // A window opened now finds the running repair's record and
                // leaves it alone, and cannot start a repair of its own.
                test::ScriptedAlerts alerts;
                test::FakeCompanionApps apps;
                test::RecordingWorkspace workspace;
                QBAppDelegate delegate({alerts, apps, workspace});
                delegate.setJournalPath(sandbox.path() +
                                        u"/state/quillbox-repair/repair-in-progress.json"_qs);
                delegate.setLibraryOverride(library);
                delegate.applicationDidFinishLaunching();
                EXPECT_EQ(alerts.messages(), QStringList());
            }
            ::kill(static_cast<pid_t>(first->processId()), SIGCONT);
            ASSERT_TRUE(first->waitForFinished(120000));
            EXPECT_EQ(first->exitCode(), 0) << first->readAll().toStdString();
            EXPECT_EQ(test::runSql(library + u"/Library.sqlite"_qs,
                                   u"PRAGMA integrity_check; SELECT count(*) FROM notes;"_qs),
                      u"ok\n20000");
            expectTidyFolder(library);
            EXPECT_EQ(QDir(parent).entryList({u"Main (Old Version)*"_qs}, QDir::Dirs).size(), 1);
            QDir(parent + u"/Main (Old Version).quillbox"_qs).removeRecursively();
        }
    }
    EXPECT_GE(caught, 6);
}

} // namespace
} // namespace quillbox
