// Repairs that stop, or are refused, before they could change anything,
// and restores from the safety copy.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/companion/Companion.h"
#include "app/core/fs/FolderLock.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RepairFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace quillbox::test
{
namespace
{

TEST_F(LibraryRepairTest, refusesAndStopsBeforeTouchingAnything)
{
    test::makePlainLibrary(library, 50);
    expectUntouched(RepairOutcome::ShellMissing, u"The repair tool is incomplete."_qs,
                    sandbox.path() + u"/no/sqlite3"_qs);
    // A shell that cannot start, and one that hangs, each with its own message.
    const QString program = sandbox.path() + u"/program"_qs;
    test::writeFile(program, QByteArray(64, '\x7f'));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    expectUntouched(RepairOutcome::ShellFailed, u"The repair could not start the SQLite shell."_qs,
                    program);
    const QString hanging = shellWrapper(u"exec sleep 60"_qs);
    shellTimeLimit = std::chrono::milliseconds(1500);
    expectUntouched(RepairOutcome::ShellFailed,
                    u"The SQLite shell stopped responding, so the repair was stopped."_qs, hanging);
    shellTimeLimit = {};
    // A cancel during the copy or the dump (one that would take a minute).
    for (const RepairStage stage : {RepairStage::SafetyCopy, RepairStage::Dump}) {
        cancelAt = stage;
        expectUntouched(RepairOutcome::Canceled, u"The repair was canceled."_qs, hanging);
    }
    cancelAt.reset();
    // Another program has the database open, in write-ahead-log mode or
    // inside a read transaction.
    for (const char *opening : {"BEGIN; SELECT count(*) FROM notes;\n",
                                "PRAGMA journal_mode=WAL; SELECT count(*) FROM notes;\n"}) {
        QProcess other;
        other.start(test::shellPath(), {u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs, db()});
        other.write(opening);
        ASSERT_TRUE(other.waitForReadyRead(10000));
        expectUntouched(RepairOutcome::Locked, u"Another program is using the library."_qs);
        other.closeWriteChannel();
        ASSERT_TRUE(other.waitForFinished(10000));
    }
    // Another program's repair holds the library's lock for as long as it runs.
    {
        FolderLocks repairing;
        ASSERT_EQ(repairing.lock(library), FolderLocks::Result::Taken);
        expectUntouched(RepairOutcome::AlreadyRunning, u"A repair is already running."_qs);
    }
    for (const QString &identifier :
         {companion::kMainIdentifier, companion::kAlternateIdentifier}) {
        apps.running = {identifier};
        expectUntouched(RepairOutcome::CompanionRunning, u"Quillbox is running."_qs);
    }
    // What a bookmark may resolve to: the root folder, or a plain file.
    for (const QString &path : {u"/"_qs, test::shellPath()}) {
        library = path;
        EXPECT_EQ(repair(), RepairOutcome::NoLibrary) << path.toStdString();
    }
    EXPECT_EQ(alerts.messages().mid(alerts.shown.size() - 2),
              (QStringList{kNoLibrary, u"No Quillbox library was found."_qs}));
}

// Another program that writes to the library in the middle of a repair,
// past the check at its start (here, just as the repair folds the damaged
// log in): the repair finds the write in the log, tells that the library is
// in use and leaves it so, the write kept and only the safety copy beside it.
TEST_F(LibraryRepairTest, aWriteByAnotherProgramMidRepairIsKept)
{
    test::makePlainLibrary(library, 200);
    test::runSql(db(), u".dbconfig no_ckpt_on_close on\nPRAGMA journal_mode=WAL;\n"
                       "UPDATE notes SET title = 'Recent' WHERE id = 1;"_qs);
    const QString writing = sandbox.path() + u"/writing-sqlite3"_qs;
    test::writeFile(
        writing,
        QStringLiteral("#!/bin/sh\ninput=$(mktemp)\ncat > \"$input\"\n"
                       "\"%1\" \"$@\" < \"$input\"; rc=$?\n"
                       "if grep -q wal_checkpoint \"$input\"; then\n"
                       "  \"%1\" -batch -cmd '.dbconfig no_ckpt_on_close on' Library.sqlite "
                       "\"UPDATE notes SET title = 'Another program' WHERE id = 2\" "
                       ">/dev/null\nfi\nrm -f \"$input\"\nexit $rc\n")
            .arg(test::shellPath())
            .toUtf8());
    QFile::setPermissions(writing, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(repair(writing), RepairOutcome::Locked);
    EXPECT_EQ(alerts.messages().last(), u"Another program is using the library."_qs);
    EXPECT_EQ(test::entries(library), (QStringList{u"Library.sqlite"_qs, u"Library.sqlite-shm"_qs,
                                                   u"Library.sqlite-wal"_qs}));
    EXPECT_EQ(test::entries(documents),
              (QStringList{u"Main (Old Version).quillbox"_qs, u"Main.quillbox"_qs}));
    EXPECT_EQ(test::runSql(db(), u"SELECT title FROM notes WHERE id <= 2;"_qs),
              u"Recent\nAnother program"_qs);
}

// Two restores in a row, the first with Support chosen and the second with
// Cancel, which writes no mail; then one whose safety copy vanished before
// it could be put back, which leaves the library alone.
TEST_F(LibraryRepairTest, numbersSafetyCopiesAndRestoresOnlyFromOneThatIsThere)
{
    test::makePlainLibrary(library, 10);
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 1.quillbox");
    test::corruptPage(db(), 1);
    alerts.answers = {kFirstButton};
    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 2.quillbox");
    ASSERT_EQ(workspace.opened.size(), 1);
    EXPECT_EQ(workspace.opened[0].toString(QUrl::FullyEncoded),
              u"mailto:support@quillbox.example?subject=Quillbox%20Support%20Request");
    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 2.quillbox");
    EXPECT_EQ(workspace.opened.size(), 1);

    alerts.onShow = [this](const Alert &alert) {
        if (alert.messageText == kCorrupt)
            QDir(backup).removeRecursively();
    };
    const auto before = test::snapshot(library);
    EXPECT_EQ(repair(), RepairOutcome::CorruptNotRestored);
    EXPECT_EQ(alerts.messages().last(), u"The library could not be restored from its safety copy.");
    EXPECT_TRUE(alerts.shown.last().informativeText.contains(backup));
    // Not even the failed dump was added to the library.
    EXPECT_EQ(test::snapshot(library), before);
}

// On a small file system of the test's own (a size-limited tmpfs), running
// out of space and a read-only disk are real.
TEST_F(LibraryRepairTest, aFullOrReadOnlyDiskLeavesTheLibraryAsItWas)
{
    const QString disk = sandbox.path() + u"/disk"_qs;
    ASSERT_TRUE(QDir().mkpath(disk));
    if (QProcess::execute(u"mount"_qs,
                          {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=8m"_qs, u"tmpfs"_qs, disk}) != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root and mount)";
    const auto unmount = qScopeGuard([&disk] {
        QProcess::execute(u"umount"_qs, {u"-l"_qs, disk});
    });
    documents = disk + u"/Documents"_qs;
    library = documents + u"/Main.quillbox"_qs;
    test::makePlainLibrary(library, 3000);
    // About 1.2 MB of library: its copy fits, but not with its dump too.
    test::writeFile(disk + u"/filler"_qs, QByteArray(4 << 20, 'x'));
    expectUntouched(RepairOutcome::NoSpace,
                    u"There is not enough free space to repair the library."_qs);
    QFile::remove(disk + u"/filler"_qs);
    // The disk is full only while a piece from the middle of the dump is
    // written: the rest, the closing COMMIT included, would fit again.
    expectUntouched(
        RepairOutcome::WriteFailed, u"The repair stopped because the disk could not be written."_qs,
        shellWrapper(u"true"_qs, QStringLiteral("head -c 200000; dd if=/dev/zero of=\"%1/filler\" "
                                                "bs=64k 2>/dev/null; head -c 65536; sleep 0.5; "
                                                "rm -f \"%1/filler\"; cat")
                                     .arg(disk)),
        u"No space left on device"_qs);
    ASSERT_EQ(QProcess::execute(u"mount"_qs, {u"-o"_qs, u"remount,ro"_qs, disk}), 0);
    expectUntouched(RepairOutcome::ReadOnly, u"The library cannot be changed."_qs,
                    test::shellPath(), u"Read-only file system"_qs);
}

// The shell finds ~/.sqliterc through the user's account, not $HOME, so the
// test puts a hostile one there for its own duration, and only when the
// account has none of its own.
TEST_F(LibraryRepairTest, aSqlitercOfTheUsersCannotChangeTheOutcome)
{
    const passwd *account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    const QString rc = QFile::decodeName(account->pw_dir) + u"/.sqliterc"_qs;
    if (QFileInfo::exists(rc) || QFileInfo(rc).isSymLink())
        GTEST_SKIP() << "this account has a ~/.sqliterc of its own; not touching it";
    const auto removeRc = qScopeGuard([&rc] { QFile::remove(rc); });
    test::makePlainLibrary(library, 40);
    const QString hijack = sandbox.path() + u"/hijacked.txt"_qs;
    test::writeFile(rc,
                    QStringLiteral(".echo on\n.headers on\n.mode box\n.bail off\n.nullvalue NULL\n"
                                   ".separator ; \n.output %1\nPRAGMA foreign_keys=ON;\n"
                                   "PRAGMA recursive_triggers=ON;\n.open %2/other.db\n")
                        .arg(hijack, sandbox.path())
                        .toUtf8());
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_FALSE(QFile::exists(hijack) || QFile::exists(sandbox.path() + u"/other.db"_qs));
    EXPECT_EQ(runSql(db(), u"SELECT count(*) FROM notes;"_qs), u"40");
}

} // namespace
} // namespace quillbox::test
