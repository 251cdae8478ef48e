#pragma once

// The harness that interrupts real repairs by the terminal front end: it
// starts the program on a fresh copy of a library, watches for the moments
// between the repair's stages as the files show them, and can preload the
// fault library that fails chosen flushes, locks, writes and renames.
#include "tests/support/Libraries.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

namespace quillbox::test
{

using Moment = std::function<bool()>;

// Waits until `when` holds, for 20 s at most; false when it never did.
inline bool waitFor(const Moment &when)
{
    QElapsedTimer clock;
    clock.start();
    while (!when() && clock.elapsed() < 20000)
        QThread::usleep(200);
    return when();
}

// The line "pid (name) state ..." of process `pid` in /proc; empty once it
// is gone.
inline QByteArray statLine(const QByteArray &pid)
{
    QFile stat(u"/proc/"_qs + QString::fromLatin1(pid.trimmed()) + u"/stat"_qs);
    return !pid.trimmed().isEmpty() && stat.open(QIODevice::ReadOnly) ? stat.readAll()
                                                                      : QByteArray();
}

// Whether the process of `line` still runs: a zombie has ended, and would
// ignore a signal. Its name may hold spaces, not ")".
inline bool isLive(const QByteArray &line)
{
    return !line.isEmpty() && line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

// The process ids of the live processes the program `pid` runs, those
// named `name` only when it is given.
inline QList<int> childrenOf(qint64 pid, const QByteArray &name = {})
{
    // The program's children, as each of its threads lists them: far
    // quicker than a look at every process, so short runs are not missed.
    const QString tasks = u"/proc/"_qs + QString::number(pid) + u"/task"_qs;
    QList<int> found;
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks + u'/' + task + u"/children"_qs);
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &child : children.readAll().split(' ')) {
            const QByteArray line = statLine(child);
            if (isLive(line) && (name.isEmpty() || line.contains('(' + name + ')')))
                found.append(child.trimmed().toInt());
        }
    }
    return found;
}

// Ends the program and every process it runs in the same instant, as a
// power cut would: held first, so it starts no other, then killed with
// them, which end once their system calls do. (Killed alone, its shells
// would go on and change the library after it ended.)
inline void killAtOnce(QProcess &program)
{
    const auto pid = static_cast<pid_t>(program.processId());
    const QList<int> children =
        pid > 0 && ::kill(pid, SIGSTOP) == 0 ? childrenOf(pid) : QList<int>();
    for (const int child : children)
        ::kill(child, SIGKILL);
    program.kill();
    program.waitForFinished();
    for (const int child : children)
        waitFor([child] { return !isLive(statLine(QByteArray::number(child))); });
}

class KilledRepairTest : public ::testing::Test
{
  protected:
    // The terminal front end on the library, keeping its record under `state`.
    std::unique_ptr<QProcess> start(const QString &state = u"state"_qs,
                                    const QStringList &options = {})
    {
        return startProgram(u"quillbox-repair-cli"_qs,
                            options + QStringList{u"--library"_qs, library}, environment(state));
    }
    ProgramRun runToEnd(const QString &state = u"state"_qs) { return finish(*start(state)); }
    [[nodiscard]] QStringList environment(const QString &state) const
    {
        QStringList env{u"XDG_STATE_HOME="_qs + sandbox.path() + u'/' + state,
                        u"XDG_CONFIG_HOME="_qs + sandbox.path() + u"/config"_qs};
        if (!failingFlush.isEmpty() || !failingLock.isEmpty() || !failingWrite.isEmpty() ||
            !renameFault.isEmpty() || !slowCopy.isEmpty()) {
            // The program may be instrumented; the preloaded library is not.
            env << u"LD_PRELOAD=" QUILLBOX_FAILING_FLUSH ""_qs
                << u"QUILLBOX_FAIL_FLUSH="_qs + failingFlush
                << u"QUILLBOX_FAIL_LOCK="_qs + failingLock
                << u"QUILLBOX_FAIL_WRITE="_qs + failingWrite
                << u"QUILLBOX_RENAME_FAULT="_qs + renameFault
                << u"QUILLBOX_SLOW_COPY="_qs + slowCopy
                << u"ASAN_OPTIONS="_qs + qEnvironmentVariable("ASAN_OPTIONS") +
                       u":verify_asan_link_order=0"_qs;
        }
        return env;
    }
    // A fresh copy of the library as it was before any repair.
    void copyPristine()
    {
        QDir(parent).removeRecursively();
        QDir().mkpath(parent);
        ASSERT_EQ(QProcess::execute(u"cp"_qs, {u"-a"_qs, pristine, library}), 0);
    }
    // How long a whole repair of the pristine library takes, in µs.
    double fullRunUs()
    {
        copyPristine();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(runToEnd().status, 0);
        return static_cast<double>(clock.nsecsElapsed()) / 1000;
    }
    // Only the library, its safety copies and complete recovered copies may
    // stand beside it.
    void expectTidyFolder()
    {
        for (const QString &name : entries(parent)) {
            const bool recovered = name.startsWith(u"Main (Recovered)");
            EXPECT_TRUE(recovered || name == u"Main.quillbox" ||
                        name.startsWith(u"Main (Old Version)"))
                << name.toStdString();
            EXPECT_TRUE(!recovered || runSql(parent + u'/' + name + u"/Library.sqlite"_qs,
                                             u"PRAGMA integrity_check;"_qs) == u"ok");
        }
    }
    [[nodiscard]] bool exists(const QString &name) const
    {
        return QFileInfo::exists(library + name);
    }

    QTemporaryDir sandbox;
    QString pristine;
    QString parent = sandbox.path() + u"/work"_qs;
    QString library = parent + u"/Main.quillbox"_qs;
    QString copy = parent + u"/Main (Old Version).quillbox"_qs;
    // The end of the paths whose flushes, or locks, fail; none when empty.
    QString failingFlush;
    QString failingLock;
    QString failingWrite;
    // The rename that kills the program or fails ("WHAT N ENDING", see
    // FailingFlush.cpp); none when empty.
    QString renameFault;
    // Milliseconds each piece of a copied file waits; none when empty.
    QString slowCopy;
    // The moments between a repair's stages, as the files show them.
    Moment copying = [this] {
        return !entries(parent).filter(u".quillbox-copy-"_qs).isEmpty();
    };
    Moment dumping = [this] {
        return QFileInfo(library + u"/Library.sql"_qs).size() > 0;
    };
    // The new database being built under its hidden name; built, and
    // checked (its rollback journal gone with the rebuild's transaction);
    // taking the damaged one's place.
    [[nodiscard]] QString rebuild() const
    {
        const QStringList found = QDir(library).entryList(
            {u".quillbox-rebuilt-*-Library.sqlite"_qs}, QDir::Files | QDir::Hidden);
        return found.isEmpty() ? QString() : library + u'/' + found.first();
    }
    Moment rebuilding = [this] {
        return QFileInfo(rebuild()).size() > 0;
    };
    Moment checking = [this] {
        return QFileInfo(rebuild()).size() > 0 && !QFileInfo::exists(rebuild() + u"-journal"_qs);
    };
    Moment swapping = [this] {
        return !QDir(library)
                    .entryList({u".quillbox-damaged-*"_qs}, QDir::Files | QDir::Hidden)
                    .isEmpty();
    };
    // The bytes of the database in `folder` once its log is folded into it,
    // as SQLite's checkpoint leaves them, on copies of its files in
    // sandbox/fold; what a reader finds is unchanged.
    [[nodiscard]] QByteArray foldedDatabase(const QString &folder) const
    {
        const QString fold = sandbox.path() + u"/fold"_qs;
        QDir(fold).removeRecursively();
        QDir().mkpath(fold);
        for (const QString &suffix : {u""_qs, u"-wal"_qs})
            QFile::copy(folder + u"/Library.sqlite"_qs + suffix,
                        fold + u"/Library.sqlite"_qs + suffix);
        runSql(fold + u"/Library.sqlite"_qs, u"PRAGMA wal_checkpoint(TRUNCATE);"_qs,
               ShellFailure::Allowed);
        QFile file(fold + u"/Library.sqlite"_qs);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // What Quillbox would find, opening the library now: the damaged
    // database as every reader finds it (`folded`, its bytes with its log
    // folded in), with its log or with the log folded into it in full or in
    // part; or the whole rebuild.
    void expectWholeDatabase(const QByteArray &folded)
    {
        if (foldedDatabase(library) == folded)
            return;
        EXPECT_EQ(runSql(sandbox.path() + u"/fold/Library.sqlite"_qs,
                         u"PRAGMA integrity_check; SELECT count(*) FROM notes;"
                         u"SELECT title FROM notebooks WHERE id = 21;"_qs,
                         ShellFailure::Allowed),
                  u"ok\n3000\nWritten just before the crash");
    }
};

} // namespace quillbox::test
