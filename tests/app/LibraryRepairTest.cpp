#include "app/core/LibraryRepair.h"

#include "app/core/Companion.h"
#include "app/core/FileTree.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillbox
{
namespace
{

using test::runSql;

const QString kFixed = u"The library file has been fixed!"_qs;
const QString kCorrupt = u"The library file is corrupt and cannot be repaired automatically."_qs;

class LibraryRepairTest : public ::testing::Test
{
  protected:
    // Byte-exact and free of the path length limit, unlike QTemporaryDir's
    // own clean-up, for the libraries with odd names and deep folders.
    ~LibraryRepairTest() override { removeTree(sandbox.path()); }

    QTemporaryDir sandbox;
    QString documents = sandbox.path() + u"/Documents"_qs;
    QString library = documents + u"/Main.quillbox"_qs;
    test::ScriptedAlerts alerts;
    test::FakeCompanionApps apps;
    test::RecordingWorkspace workspace;
    QList<RepairStage> stages;
    QList<double> fractions;

    RepairOutcome repair(const QString &shell = test::shellPath())
    {
        LibraryRepair run({alerts, apps, workspace}, SqliteShell(shell), library);
        if (shellTimeLimit.count() > 0)
            run.setShellTimeLimit(shellTimeLimit);
        std::atomic<bool> cancel{false};
        run.setCancelFlag(&cancel);
        run.setProgress([this, &cancel](RepairStage stage, double fraction) {
            if (stages.isEmpty() || stages.last() != stage)
                stages.append(stage);
            fractions.append(fraction);
            if (cancelAt == stage)
                cancel = true;
        });
        run.setBackupChosen([this](const QString &path) { backup = path; });
        return run.fixLibrary();
    }
    QString backup;
    std::chrono::milliseconds shellTimeLimit{0};
    std::optional<RepairStage> cancelAt; // the stage whose start cancels the repair

    [[nodiscard]] QStringList documentsEntries() const
    {
        return QDir(documents).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QString db() const { return library + u"/Library.sqlite"_qs; }

    // A wrapper around the real shell that runs `beforeDump` and `afterDump`
    // (shell commands, in the library) around the run that writes the dump,
    // and passes the dump's text through `dumpFilter` on its way out; the
    // runs that count the rows meanwhile are passed through.
    QString shellWrapper(const QString &beforeDump, const QString &afterDump,
                         const QString &dumpFilter = u"cat"_qs)
    {
        const QString wrapper = sandbox.path() + u"/sqlite3"_qs;
        QFile script(wrapper);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\ninput=$(mktemp)\ncat > \"$input\"\n"
                                    "if grep -q '^\\.dump' \"$input\"; then\n"
                                    "  { %2; }\n"
                                    "  { \"%1\" \"$@\" < \"$input\"; echo $? > \"$input.rc\"; } | "
                                    "{ %4; }\n"
                                    "  rc=$(cat \"$input.rc\"); rm -f \"$input.rc\"\n"
                                    "  { %3; }\n"
                                    "else \"%1\" \"$@\" < \"$input\"; rc=$?; fi\n"
                                    "rm -f \"$input\"\nexit $rc\n")
                         .arg(test::shellPath(), beforeDump, afterDump, dumpFilter)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return wrapper;
    }
};

TEST_F(LibraryRepairTest, rebuildsADamagedIndexKeepingEveryRowAndTheLogsChanges)
{
    library = test::makeSampleLibrary(sandbox.path() + u"/sample"_qs, 300);
    documents = QFileInfo(library).path();
    // Only the exact database names are removed. (No "Library.sqlite-journal":
    // SQLite itself discards a stale journal of the database the rebuild creates.)
    const QStringList bystanders{u"library.sqlite"_qs, u"Library.sqlite-wal.old"_qs,
                                 u".Library.sqlite-wal"_qs};
    for (const QString &name : bystanders)
        QFile(library + u'/' + name).open(QIODevice::WriteOnly);
    const auto original = test::snapshot(library);
    ASSERT_TRUE(original.contains(u"Library.sqlite-wal"_qs));

    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(alerts.messages(), QStringList{kFixed});
    EXPECT_EQ(alerts.shown.first().buttons, QStringList{u"Quit"_qs});
    EXPECT_TRUE(alerts.shown.first().informativeText.contains(backup));

    EXPECT_EQ(runSql(db(), u"PRAGMA integrity_check;"_qs), u"ok");
    EXPECT_EQ(runSql(db(), u"SELECT count(*) FROM notes; SELECT count(*) FROM note_tags;"_qs),
              u"300\n300");
    // Rows written only to the -wal file survive.
    EXPECT_EQ(runSql(db(), u"SELECT title FROM notebooks WHERE id = 21;"
                           u"SELECT body FROM notes WHERE id = 1;"_qs),
              u"Written just before the crash\nEdited recently");
    // What a plain dump drops, and the kinds of schema object it keeps.
    EXPECT_EQ(runSql(db(), u"PRAGMA user_version; PRAGMA application_id; PRAGMA page_size;"
                           u"PRAGMA journal_mode;"_qs),
              u"12\n1364283203\n4096\nwal");
    EXPECT_EQ(runSql(db(), u"SELECT count(*) FROM notes_search WHERE notes_search MATCH 'note';"
                           u"SELECT count(*) FROM recent_notes; SELECT count(*) FROM tags;"
                           u"SELECT seq FROM sqlite_sequence WHERE name = 'notes';"_qs),
              u"300\n20\n30\n300");

    // The safety copy is the library as it was; the dump is gone.
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version).quillbox");
    EXPECT_EQ(test::snapshot(backup), original);
    EXPECT_FALSE(QFile::exists(library + u"/Library.sql"_qs));
    EXPECT_TRUE(QFile::exists(library + u"/Attachments/scan-1.png"_qs));
    for (const QString &name : bystanders)
        EXPECT_TRUE(QFile::exists(library + u'/' + name)) << name.toStdString();
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_EQ(fractions.last(), 1.0);
    EXPECT_EQ(stages,
              (QList<RepairStage>{RepairStage::SafetyCopy, RepairStage::Dump, RepairStage::Check,
                                  RepairStage::Rebuild, RepairStage::Check}));
}

TEST_F(LibraryRepairTest, reportsACorruptTableAndLeavesTheLibraryByteForByteAsItWas)
{
    test::makePlainLibrary(library);
    test::corruptNotesPage(db(), 3);
    const auto before = test::snapshot(library);
    alerts.answers = {kFirstButton};

    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    EXPECT_EQ(alerts.messages(), QStringList{kCorrupt});
    EXPECT_EQ(alerts.shown.first().buttons, (QStringList{u"Support"_qs, u"Cancel"_qs}));
    ASSERT_EQ(workspace.opened.size(), 1);
    EXPECT_EQ(workspace.opened.first().toString(QUrl::FullyEncoded),
              u"mailto:support@quillbox.example?subject=Quillbox%20Support%20Request");
    EXPECT_EQ(test::snapshot(library), before);
    // Beside it, what could be saved, as the report's details say.
    EXPECT_EQ(documentsEntries(),
              (QStringList{u"Main (Recovered).quillbox"_qs, u"Main.quillbox"_qs}));
    const QString recovered = documents + u"/Main (Recovered).quillbox/Library.sqlite"_qs;
    EXPECT_EQ(runSql(recovered, u"PRAGMA integrity_check;"_qs), u"ok");
    EXPECT_TRUE(alerts.shown.first().detailedText.contains(
        u"notes: "_qs + runSql(recovered, u"SELECT count(*) FROM notes;"_qs) +
        u" rows recovered; the damaged database suggests 2000"_qs));
}

TEST_F(LibraryRepairTest, refusesBeforeTouchingAnything)
{
    test::makePlainLibrary(library, 10);
    const auto before = test::snapshot(library);
    for (const QString &identifier :
         {companion::kMainIdentifier, companion::kAlternateIdentifier}) {
        apps.running = {identifier};
        EXPECT_EQ(repair(), RepairOutcome::CompanionRunning);
    }
    apps.running.clear();
    EXPECT_EQ(repair(sandbox.path() + u"/no/sqlite3"_qs), RepairOutcome::ShellMissing);
    const QString notExecutable = sandbox.path() + u"/sqlite3"_qs;
    ASSERT_TRUE(QFile::copy(test::shellPath(), notExecutable));
    QFile::setPermissions(notExecutable, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(repair(notExecutable), RepairOutcome::ShellMissing);
    EXPECT_EQ(
        alerts.messages(),
        (QStringList{u"Quillbox is running."_qs, u"Quillbox is running."_qs,
                     u"The repair tool is incomplete."_qs, u"The repair tool is incomplete."_qs}));
    EXPECT_EQ(alerts.shown.first().informativeText, u"Quit Quillbox and try again.");
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});

    // What a bookmark may resolve to: the root folder, or a plain file.
    for (const QString &path : {u"/"_qs, test::shellPath()}) {
        library = path;
        EXPECT_EQ(repair(), RepairOutcome::NoLibrary) << path.toStdString();
    }
    EXPECT_EQ(alerts.messages().mid(4),
              (QStringList{u"This folder holds no Quillbox library to repair."_qs,
                           u"No Quillbox library was found."_qs}));
}

TEST_F(LibraryRepairTest, failedSafetyCopyLeavesNoPartialCopy)
{
    test::makePlainLibrary(library, 10);
    // A named pipe cannot be copied as a file, so the copy fails midway.
    ASSERT_EQ(::mkfifo(QFile::encodeName(library + u"/pipe"_qs).constData(), 0600), 0);
    const auto before = test::snapshot(library);
    EXPECT_EQ(repair(), RepairOutcome::SafetyCopyFailed);
    EXPECT_EQ(alerts.messages(),
              QStringList{u"There was a problem saving a copy of the library file."_qs});
    EXPECT_TRUE(alerts.shown.first().informativeText.contains(u"pipe"));
    EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
    EXPECT_EQ(test::snapshot(library), before);
}

TEST_F(LibraryRepairTest, numbersSafetyCopiesAndFreesTheNameAfterARestore)
{
    test::makePlainLibrary(library, 10);
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 1.quillbox");
    // A library without a write-ahead log is not given one.
    EXPECT_EQ(runSql(db(), u"PRAGMA journal_mode;"_qs), u"delete");

    test::corruptPage(db(), 1);
    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 2.quillbox");
    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    EXPECT_EQ(QFileInfo(backup).fileName(), u"Main (Old Version) 2.quillbox");
    EXPECT_TRUE(workspace.opened.isEmpty()); // Cancel writes no mail
}

TEST_F(LibraryRepairTest, leavesTheLibraryAloneWhenTheSafetyCopyVanished)
{
    test::makePlainLibrary(library, 10);
    test::corruptPage(db(), 1);
    alerts.onShow = [this](const Alert &alert) {
        if (alert.messageText == kCorrupt && !backup.isEmpty())
            QDir(backup).removeRecursively();
    };
    auto before = test::snapshot(library);
    EXPECT_EQ(repair(), RepairOutcome::CorruptNotRestored);
    EXPECT_EQ(
        alerts.messages(),
        (QStringList{kCorrupt, u"The library could not be restored from its safety copy."_qs}));
    EXPECT_TRUE(alerts.shown.last().informativeText.contains(backup));
    // Only the failed dump was added to the library.
    auto after = test::snapshot(library);
    after.remove(u"Library.sql"_qs);
    EXPECT_EQ(after, before);
}

TEST_F(LibraryRepairTest, keepsRowidsAndRefusesTextThatTheDumpWouldCut)
{
    test::makePlainLibrary(library, 5);
    runSql(db(), u"CREATE TABLE loose(v TEXT); INSERT INTO loose VALUES ('a'), ('b'), ('c');"
                 u"DELETE FROM loose WHERE v = 'b';"_qs);
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(runSql(db(), u"SELECT group_concat(rowid) FROM loose;"_qs), u"1,3");

    // The change stays in the log, which reading the library must not fold
    // into the database: the library is left as it was (every reader writes
    // to the -shm index, which holds no data).
    runSql(db(), u".dbconfig no_ckpt_on_close on\nPRAGMA journal_mode=WAL;\n"
                 u"UPDATE loose SET v = 'x' || char(0) || 'y' WHERE rowid = 3;"_qs);
    ASSERT_GT(QFileInfo(db() + u"-wal"_qs).size(), 0);
    const auto withoutIndex = [this] {
        auto files = test::snapshot(library);
        files.remove(u"Library.sqlite-shm"_qs);
        return files;
    };
    const auto before = withoutIndex();
    EXPECT_EQ(repair(), RepairOutcome::UnsafeText);
    EXPECT_EQ(alerts.messages().last(),
              u"The library holds text that the repair cannot carry over.");
    EXPECT_EQ(withoutIndex(), before);
    EXPECT_TRUE(QFileInfo(backup).isDir());
}

// A library analysed by an SQLite built with STAT4 keeps samples in
// sqlite_stat4; its dump creates that table through ANALYZE, which a shell
// built without STAT4 does not, and the rebuild would fail.
TEST_F(LibraryRepairTest, rebuildsALibraryKeepingItsStat4Statistics)
{
    test::makePlainLibrary(library, 200);
    runSql(db(), u"ANALYZE;"_qs);
    const QString statistics = u"SELECT tbl, idx, neq, nlt, ndlt, hex(sample) FROM sqlite_stat4"
                               u" ORDER BY 1, 2, 4;"_qs;
    const QString before = runSql(db(), statistics);
    ASSERT_GT(before.count(u'\n'), 5);

    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(runSql(db(), statistics), before);
}

TEST_F(LibraryRepairTest, contentCannotMakeTheShellRunCommands)
{
    const QString marker = sandbox.path() + u"/pwned"_qs;
    test::makePlainLibrary(library, 5);
    runSql(db(), uR"(CREATE TABLE "x
.shell touch %1
" ("a
.system touch %1
" TEXT);
INSERT INTO "x
.shell touch %1
" VALUES ('
.shell touch %1
.output %1
.read %1
');)"_qs.arg(marker));
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(runSql(db(), uR"(SELECT count(*) FROM sqlite_schema WHERE name LIKE 'x%';
SELECT instr(v, '.read') > 0 FROM (SELECT "a
.system touch %1
" AS v FROM "x
.shell touch %1
");)"_qs.arg(marker)),
              u"1\n1");
}

// A shell that cannot start, and one that hangs, each leave the library as
// it was, with their own message.
TEST_F(LibraryRepairTest, aShellThatCannotStartOrHangsLeavesTheLibraryAsItWas)
{
    test::makePlainLibrary(library, 50);
    const auto before = test::snapshot(library);
    const QString garbage = sandbox.path() + u"/not-a-program"_qs;
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(64, '\x7f'));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(repair(garbage), RepairOutcome::ShellFailed);
    EXPECT_EQ(alerts.messages().last(), u"The repair could not start the SQLite shell.");
    EXPECT_EQ(test::snapshot(library), before);

    shellTimeLimit = std::chrono::milliseconds(1500);
    EXPECT_EQ(repair(shellWrapper(u"exec sleep 60"_qs, u"true"_qs)), RepairOutcome::ShellFailed);
    EXPECT_EQ(alerts.messages().last(),
              u"The SQLite shell stopped responding, so the repair was stopped.");
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
}

// Another program that has the database open, in write-ahead-log mode or
// inside a read transaction, keeps the repair out: nothing is touched.
TEST_F(LibraryRepairTest, aDatabaseOpenInAnotherProgramIsLeftAsItWas)
{
    for (const char *opening : {"PRAGMA journal_mode=WAL; SELECT count(*) FROM notes;\n",
                                "BEGIN; SELECT count(*) FROM notes;\n"}) {
        test::makePlainLibrary(library, 50);
        QProcess other;
        other.setWorkingDirectory(library);
        other.start(test::shellPath(), {u"-batch"_qs, u"Library.sqlite"_qs});
        other.write(opening);
        ASSERT_TRUE(other.waitForReadyRead(10000));
        const auto before = test::snapshot(library);
        EXPECT_EQ(repair(), RepairOutcome::Locked) << opening;
        EXPECT_EQ(alerts.messages().last(), u"Another program is using the library.");
        EXPECT_EQ(test::snapshot(library), before);
        EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
        other.closeWriteChannel();
        ASSERT_TRUE(other.waitForFinished(10000));
        removeTree(library);
    }
}

// A cancel during the copy or the dump (here a dump that would take a
// minute) leaves the library as it was, with nothing beside it.
TEST_F(LibraryRepairTest, aCancelBeforeAnythingChangedLeavesTheLibraryAsItWas)
{
    test::makePlainLibrary(library, 50);
    const auto before = test::snapshot(library);
    for (const RepairStage stage : {RepairStage::SafetyCopy, RepairStage::Dump}) {
        cancelAt = stage;
        EXPECT_EQ(repair(shellWrapper(u"exec sleep 60"_qs, u"true"_qs)), RepairOutcome::Canceled);
        EXPECT_EQ(alerts.messages().last(), u"The repair was canceled.");
        EXPECT_EQ(test::snapshot(library), before);
        EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
    }
}

// The dump as the real shell printed it, changed on its way out by a
// wrapper around the shell, for each branch of the completeness check.
struct DumpCase {
    const char *name;
    const char *tamper; // filter the dump's text passes through
    RepairOutcome outcome;
    bool rebuilt;
};
void PrintTo(const DumpCase &c, std::ostream *os)
{
    *os << c.name;
}

class DumpCheck : public LibraryRepairTest, public ::testing::WithParamInterface<DumpCase>
{
};

TEST_P(DumpCheck, acceptsOnlyADumpEndingInTheMarker)
{
    test::makePlainLibrary(library, 10);
    const QString wrapper =
        shellWrapper(u"true"_qs, u"true"_qs, QString::fromUtf8(GetParam().tamper));
    EXPECT_EQ(repair(wrapper), GetParam().outcome);
    EXPECT_EQ(stages.contains(RepairStage::Rebuild), GetParam().rebuilt);
    EXPECT_EQ(alerts.messages(), QStringList{kCorrupt});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DumpCheck,
    ::testing::Values(DumpCase{"empty", "cat > /dev/null", RepairOutcome::CorruptRestored, false},
                      DumpCase{"exactlyTheMarker", "cat > /dev/null; printf 'COMMIT;\\n'",
                               RepairOutcome::CorruptRestored, true},
                      DumpCase{"rollback", "sed 's/^COMMIT;$/ROLLBACK; -- due to errors/'",
                               RepairOutcome::CorruptRestored, false},
                      // A complete-looking dump that lost rows fails the count check.
                      DumpCase{"droppedRow", "sed '/^INSERT INTO notes VALUES(5,/d'",
                               RepairOutcome::CorruptRestored, true}),
    [](const auto &info) { return std::string(info.param.name); });

// Libraries on a small file system of the test's own (a size-limited tmpfs),
// so that running out of space and a read-only disk can be made real.
class DiskTrouble : public LibraryRepairTest
{
  protected:
    void mountSmallDisk(const char *size)
    {
        disk = sandbox.path() + u"/disk"_qs;
        ASSERT_TRUE(QDir().mkpath(disk));
        if (QProcess::execute(u"mount"_qs,
                              {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size="_qs + QLatin1String(size),
                               u"tmpfs"_qs, disk}) != 0)
            GTEST_SKIP() << "cannot mount a small file system here (needs root and mount)";
        mounted = true;
        documents = disk;
        library = disk + u"/Main.quillbox"_qs;
    }
    void TearDown() override
    {
        if (mounted)
            QProcess::execute(u"umount"_qs, {u"-l"_qs, disk});
    }
    QString disk;
    bool mounted = false;
};

TEST_F(DiskTrouble, refusesAReadOnlyDiskAndTooLittleSpaceBeforeTouchingAnything)
{
    mountSmallDisk("4m");
    test::makePlainLibrary(library, 3000);
    const auto before = test::snapshot(library);
    // About 1.2 MB of library: its copy and its dump cannot both fit in 4 MB
    // once 1.5 MB more are taken.
    QFile filler(disk + u"/filler"_qs);
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(1536 * 1024, 'x'));
    filler.close();
    EXPECT_EQ(repair(), RepairOutcome::NoSpace);
    EXPECT_EQ(alerts.messages().last(), u"There is not enough free space to repair the library.");
    EXPECT_EQ(test::snapshot(library), before);

    filler.remove();
    ASSERT_EQ(QProcess::execute(u"mount"_qs, {u"-o"_qs, u"remount,ro"_qs, disk}), 0);
    const auto readOnly = test::snapshot(library); // write permission now reads as off
    EXPECT_EQ(repair(), RepairOutcome::ReadOnly);
    EXPECT_TRUE(alerts.shown.last().informativeText.contains(u"Read-only file system"));
    EXPECT_EQ(test::snapshot(library), readOnly);
    EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
}

TEST_F(DiskTrouble, aDiskFullForAMomentDuringTheDumpLeavesTheLibraryAsItWas)
{
    mountSmallDisk("8m");
    test::makePlainLibrary(library, 3000);
    const auto before = test::snapshot(library);
    // The disk is full only while a piece from the middle of the dump is
    // written: the rest, the closing COMMIT included, would fit again.
    const QString wrapper = shellWrapper(
        u"true"_qs, u"true"_qs,
        QStringLiteral("head -c 200000; dd if=/dev/zero of=\"%1/filler\" bs=64k 2>/dev/null; "
                       "head -c 65536; sleep 0.5; rm -f \"%1/filler\"; cat")
            .arg(disk));
    EXPECT_EQ(repair(wrapper), RepairOutcome::WriteFailed);
    EXPECT_EQ(alerts.messages().last(),
              u"The repair stopped because the disk could not be written.");
    EXPECT_TRUE(alerts.shown.last().informativeText.contains(u"No space left on device"));
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(documentsEntries(), QStringList{u"Main.quillbox"_qs});
}

// Libraries that are not what they seem end in a clear outcome, with
// nothing lost and nothing outside the library written.
struct HostileCase {
    const char *name;
    std::function<void(const QString &library, const QString &outside)> arrange;
    RepairOutcome outcome;
};
void PrintTo(const HostileCase &c, std::ostream *os)
{
    *os << c.name;
}

class HostileLibrary : public LibraryRepairTest, public ::testing::WithParamInterface<HostileCase>
{
};

// Runs `action` in the folder at the bottom of 25 folders of 200-byte names
// below `root` (making them first with `make`): paths of 5,000 bytes, longer
// than the system's limit for one path, reached one relative step at a time.
bool atTheBottomOfADeepTree(const QString &root, const char *action, bool make = false)
{
    const QString step = QString(200, u'd');
    return QProcess::execute(u"sh"_qs, {u"-c"_qs,
                                        QStringLiteral("cd \"$0\" && for i in $(seq 25); do "
                                                       "%1 cd -P %2 || exit 1; done && %3")
                                            .arg(make ? u"mkdir "_qs + step + u" &&"_qs : QString(),
                                                 step, QString::fromUtf8(action)),
                                        root}) == 0;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_P(HostileLibrary, endsInItsOutcomeWithNothingLostOrWrittenOutside)
{
    const QString outside = sandbox.path() + u"/outside"_qs;
    test::makePlainLibrary(outside, 10);
    test::makePlainLibrary(library, 10);
    GetParam().arrange(library, outside);
    const auto before = test::snapshot(library);
    const auto outsideBefore = test::snapshot(outside);

    EXPECT_EQ(repair(), GetParam().outcome);
    EXPECT_FALSE(alerts.messages().isEmpty());
    EXPECT_EQ(test::snapshot(outside), outsideBefore);
    if (GetParam().outcome != RepairOutcome::Fixed) {
        EXPECT_EQ(test::snapshot(library), before);
    } else if (atTheBottomOfADeepTree(library, "test -f leaf")) {
        EXPECT_TRUE(atTheBottomOfADeepTree(backup, "test -f leaf"));
    } else {
        struct stat st {
        };
        EXPECT_EQ(::lstat(QFile::encodeName(backup) + "/\xff\xfe bytes", &st), 0);
        EXPECT_EQ(::lstat(QFile::encodeName(library) + "/\xff\xfe bytes", &st), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileLibrary,
    ::testing::Values(HostileCase{"notSqlite",
                                  [](const QString &l, const QString &) {
                                      writeFile(l + u"/Library.sqlite"_qs, QByteArray(8192, 'q'));
                                  },
                                  RepairOutcome::CorruptRestored},
                      HostileCase{"zeroBytes",
                                  [](const QString &l, const QString &) {
                                      writeFile(l + u"/Library.sqlite"_qs, {});
                                  },
                                  RepairOutcome::NoLibrary},
                      HostileCase{"aFolder",
                                  [](const QString &l, const QString &) {
                                      QFile::remove(l + u"/Library.sqlite"_qs);
                                      QDir().mkpath(l + u"/Library.sqlite"_qs);
                                  },
                                  RepairOutcome::NoLibrary},
                      HostileCase{"linkOutside",
                                  [](const QString &l, const QString &o) {
                                      QFile::remove(l + u"/Library.sqlite"_qs);
                                      QFile::link(o + u"/Library.sqlite"_qs,
                                                  l + u"/Library.sqlite"_qs);
                                  },
                                  RepairOutcome::NoLibrary},
                      HostileCase{"walLinkOutside",
                                  [](const QString &l, const QString &o) {
                                      QFile::link(o + u"/Library.sqlite"_qs,
                                                  l + u"/Library.sqlite-wal"_qs);
                                  },
                                  RepairOutcome::NoLibrary},
                      HostileCase{"linksAndOddNames",
                                  [](const QString &l, const QString &o) {
                                      QFile::link(u"."_qs, l + u"/loop"_qs);
                                      QFile::link(o, l + u"/outsideLink"_qs);
                                      for (const char *name : {"line\nbreak", "'quote\"", "-rf"})
                                          writeFile(l + u'/' + QString::fromUtf8(name), name);
                                      // A name that is not UTF-8, made byte for byte.
                                      const QByteArray raw =
                                          QFile::encodeName(l) + "/\xff\xfe bytes";
                                      ::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644));
                                  },
                                  RepairOutcome::Fixed},
                      HostileCase{"pathsLongerThanPathMax",
                                  [](const QString &l, const QString &) {
                                      ASSERT_TRUE(atTheBottomOfADeepTree(l, "touch leaf", true));
                                  },
                                  RepairOutcome::Fixed}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LibraryRepairTest, repairsALibraryReachedThroughALinkWhereItLives)
{
    const QString real = sandbox.path() + u"/Real/Main.quillbox"_qs;
    test::makePlainLibrary(real, 10);
    ASSERT_TRUE(QDir().mkpath(documents));
    ASSERT_TRUE(QFile::link(real, library));
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(backup, sandbox.path() + u"/Real/Main (Old Version).quillbox"_qs);
    EXPECT_TRUE(QFileInfo(library).isSymLink());
    EXPECT_EQ(runSql(real + u"/Library.sqlite"_qs, u"SELECT count(*) FROM notes;"_qs), u"10");
}

// The shell finds ~/.sqliterc through the user's account, not $HOME, so the
// test puts a hostile one there for its own duration, and only when the
// account has none of its own.
class UserShellConfiguration : public LibraryRepairTest
{
  protected:
    void SetUp() override
    {
        const passwd *account = ::getpwuid(::getuid());
        ASSERT_NE(account, nullptr);
        rc = QFile::decodeName(account->pw_dir) + u"/.sqliterc"_qs;
        if (QFileInfo::exists(rc) || QFileInfo(rc).isSymLink())
            GTEST_SKIP() << "this account has a ~/.sqliterc of its own; not touching it";
        owned = true;
    }
    void TearDown() override
    {
        if (owned)
            QFile::remove(rc);
    }
    QString rc;
    bool owned = false;
};

TEST_F(UserShellConfiguration, cannotChangeTheOutcome)
{
    test::makePlainLibrary(library, 40);
    const QString hijack = sandbox.path() + u"/hijacked.txt"_qs;
    writeFile(rc, QStringLiteral(".echo on\n.headers on\n.mode box\n.bail off\n.nullvalue NULL\n"
                                 ".separator ; \n.output %1\nPRAGMA foreign_keys=ON;\n"
                                 "PRAGMA recursive_triggers=ON;\n.open %2/other.db\n")
                      .arg(hijack, sandbox.path())
                      .toUtf8());
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    EXPECT_EQ(alerts.messages(), QStringList{kFixed});
    EXPECT_FALSE(QFile::exists(hijack));
    EXPECT_FALSE(QFile::exists(sandbox.path() + u"/other.db"_qs));
    EXPECT_EQ(runSql(db(), u"SELECT count(*) FROM notes;"_qs), u"40");
}

} // namespace
} // namespace quillbox
