#include "app/core/interrupted/InterruptedRepair.h"

#include "app/core/fs/FolderLock.h"
#include "app/core/repair/RepairJournal.h"
#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillbox
{
namespace
{

const QString kPutBack =
    u"An earlier repair was interrupted, so the library was put back from its safety copy."_qs;

// Each case lays out the folders as a repair cut off at one point leaves
// them, then checks what recovery makes of them.
struct InterruptedRepairTest : ::testing::Test {
    void SetUp() override
    {
        test::makePlainLibrary(library, 20);
        expected = test::snapshot(library);
    }
    void copyLibraryTo(const QString &to)
    {
        ASSERT_EQ(QProcess::execute(u"cp"_qs, {u"-a"_qs, library, to}), 0);
        if (to == backup)
            copyAsMade = summarizeTree(backup);
    }
    // The library as the repair leaves it midway: `changed` 1 puts a dump
    // beside the database, 2 also damages the database.
    void changeLibrary(int changed = 2)
    {
        if (changed > 1)
            test::corruptPage(library + u"/Library.sqlite"_qs, 2);
        ASSERT_TRUE(changed == 0 || QFile(library + u"/Library.sql"_qs).open(QIODevice::WriteOnly));
    }
    // What recovery says of the record as it stands; it is gone afterwards.
    QString recover()
    {
        const auto alert = settleInterruptedRepair(journal);
        EXPECT_FALSE(journal.exists());
        return alert ? alert->messageText : QString();
    }
    QString recover(RepairPhase phase)
    {
        EXPECT_TRUE(journal.write({phase, library, backup, partial, aside, copyAsMade}));
        return recover();
    }

    QTemporaryDir dir;
    QString library = dir.path() + u"/Main.quillbox"_qs;
    QString backup = dir.path() + u"/Main (Old Version).quillbox"_qs;
    QString partial = dir.path() + u"/.quillbox-copy-AbC123"_qs;
    QString aside = dir.path() + u"/Main (Damaged).quillbox"_qs;
    RepairJournal journal{dir.path() + u"/state/repair.json"_qs};
    QMap<QString, QByteArray> expected;
    std::optional<TreeSummary> copyAsMade;
};

// Where the repair was cut off: the folder the copy of the library is in,
// how far the library was changed (0 not at all, 1 a dump beside it, 2 also
// its database damaged), and the folder then renamed, and to what.
struct CutOff {
    const char *name;
    QString InterruptedRepairTest::*copy;
    int changed;
    QString InterruptedRepairTest::*from;
    QString InterruptedRepairTest::*to;
    RepairPhase phase;
    QString message;
    bool keepsBackup;
};

class CutOffRepairs : public InterruptedRepairTest, public ::testing::WithParamInterface<CutOff>
{
};

// The library ends as it was before the repair (or as rebuilt), and only the
// safety copy of a checked rebuild stays beside it.
TEST_P(CutOffRepairs, endWithTheLibraryAsItWasAndNothingLeftBeside)
{
    const CutOff &c = GetParam();
    copyLibraryTo(this->*c.copy);
    changeLibrary(c.changed);
    ASSERT_TRUE(c.from == nullptr || QDir().rename(this->*c.from, this->*c.to));
    EXPECT_EQ(recover(c.phase), c.message);
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_EQ(QFile::exists(backup), c.keepsBackup);
    EXPECT_FALSE(QFile::exists(partial));
    EXPECT_FALSE(QFile::exists(aside));
}

using T = InterruptedRepairTest;
using enum RepairPhase;
// clang-format off
QUILLBOX_CASES(CutOffRepairs, CutOff, ::testing::Values(
    CutOff{"whileCopying", &T::partial, 1, nullptr, nullptr, Copying,
           u"An earlier repair was interrupted before it changed the library."_qs, false},
    CutOff{"beforeTheRebuildWasChecked", &T::backup, 2, nullptr, nullptr, Copied, kPutBack, false},
    // The power cut lost the rename that gave the copy its name.
    CutOff{"withTheCopyStillUnderItsHiddenName", &T::backup, 2, &T::backup, &T::partial, Copied,
           kPutBack, false},
    CutOff{"afterTheDamagedFolderWasMovedAside", &T::backup, 2, &T::library, &T::aside, Restoring,
           kPutBack, false},
    CutOff{"afterTheCopyWasMovedIn", &T::aside, 0, nullptr, nullptr, Restoring, kPutBack, false},
    CutOff{"afterTheRebuildWasChecked", &T::backup, 1, nullptr, nullptr, Rebuilt,
           u"An earlier repair was interrupted after the library had been rebuilt."_qs, true}));
// clang-format on

// A repair cut off while it built the new database under its hidden name,
// or at each step of putting it in the damaged one's place, ends with the
// damaged database and its own log under their names, or with the new one
// in place; nothing the repair made stays inside the library.
TEST_F(InterruptedRepairTest, aRebuildCutOffEndsWithOneWholeDatabase)
{
    const QString database = library + u"/Library.sqlite"_qs;
    const QString rebuild = library + u"/.quillbox-rebuilt-AbC123-Library.sqlite"_qs;
    const QString damaged = library + u"/.quillbox-damaged-AbC123"_qs;
    const QString before = u"An earlier repair was interrupted before it changed the library."_qs;
    const QString after =
        u"An earlier repair was interrupted after the library had been rebuilt."_qs;
    // How many steps of the swap were taken: the log moved to its hidden
    // name, the database given a second name there, the new one moved in.
    for (int steps = -1; steps <= 3; ++steps) {
        SCOPED_TRACE(steps);
        QDir(library).removeRecursively();
        QDir(backup).removeRecursively();
        test::makePlainLibrary(library, 20);
        test::writeFile(database + u"-wal"_qs, "the damaged database's log");
        const auto damagedFiles = test::snapshot(library);
        copyLibraryTo(backup);
        test::writeFile(rebuild, "the new database");
        test::writeFile(rebuild + u"-journal"_qs, "its journal");
        test::writeFile(library + u"/Library.sql"_qs, "the dump");
        if (steps >= 1) {
            ASSERT_TRUE(QFile::rename(database + u"-wal"_qs, damaged + u"-wal"_qs));
        }
        if (steps >= 2) {
            ASSERT_EQ(::link(QFile::encodeName(database).constData(),
                             QFile::encodeName(damaged).constData()),
                      0);
        }
        if (steps >= 3) {
            ASSERT_TRUE(QFile::remove(rebuild + u"-journal"_qs) && QFile::remove(database) &&
                        QFile::rename(rebuild, database));
        }
        ASSERT_TRUE(journal.write({.phase = steps < 0 ? RepairPhase::Copied : RepairPhase::Swapping,
                                   .library = library,
                                   .backup = backup,
                                   .partial = partial,
                                   .aside = aside,
                                   .copy = copyAsMade,
                                   .rebuild = rebuild,
                                   .damaged = damaged}));
        EXPECT_EQ(recover(), steps == 3 ? after : before);
        auto expected = damagedFiles;
        if (steps == 3) {
            expected.remove(u"Library.sqlite-wal"_qs);
            expected[u"Library.sqlite"_qs] = test::snapshot(library).value(u"Library.sqlite"_qs);
            EXPECT_TRUE(expected[u"Library.sqlite"_qs].contains("file the new database"));
        }
        EXPECT_EQ(test::snapshot(library), expected);
        EXPECT_TRUE(QFileInfo::exists(backup));
    }
}

// Nothing is put back while the repair's owner still runs, nor from a copy
// that is not as the repair made it, nor on a record that cannot be trusted.
TEST_F(InterruptedRepairTest, putsBackOnlyTheCopyAsItWasMadeAndOnlyWhenItsOwnerHasEnded)
{
    copyLibraryTo(backup);
    changeLibrary();
    const auto damaged = test::snapshot(library);

    // A program still running its repair holds the state folder's lock, or
    // (repairing the library itself) the library's.
    ASSERT_TRUE(journal.write({RepairPhase::Copied, library, backup, partial, aside, copyAsMade}));
    for (const QString &held : {journal.folder(), library}) {
        FolderLocks running;
        ASSERT_EQ(running.lock(held), FolderLocks::Result::Taken);
        EXPECT_EQ(settleInterruptedRepair(journal), std::nullopt);
        EXPECT_TRUE(journal.exists());
    }

    // A copy that is not as the repair made it, or was never measured.
    test::writeFile(backup + u"/extra"_qs, {});
    const auto changed = test::snapshot(backup);
    for (const auto &asMade : {copyAsMade, std::optional<TreeSummary>()}) {
        copyAsMade = asMade;
        EXPECT_EQ(recover(RepairPhase::Copied), u"An earlier repair was interrupted, and its "
                                                u"safety copy is not as that repair made it.");
    }

    // Records that cannot be read, or that name a safety copy elsewhere.
    const QString unreadable =
        u"An earlier repair was interrupted, and its record cannot be read."_qs;
    for (const char *contents :
         {"not json", R"({"version":1,"phase":"copied"})",
          R"({"version":9,"phase":"copied","library":"L2E=","backup":"L2I="})"}) {
        test::writeFile(journal.path(), contents);
        EXPECT_EQ(recover(), unreadable) << contents;
    }
    const QString ours = backup;
    backup = journal.folder() + u"/Main (Old Version).quillbox"_qs;
    copyLibraryTo(backup);
    EXPECT_EQ(recover(RepairPhase::Copied), unreadable);
    EXPECT_EQ(test::snapshot(library), damaged);
    EXPECT_EQ(test::snapshot(ours), changed);
}

} // namespace
} // namespace quillbox
