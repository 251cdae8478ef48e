#include "app/core/RepairRecovery.h"

#include "app/core/FolderLock.h"
#include "app/core/RepairJournal.h"
#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace quillbox
{
namespace
{

const QString kPutBack =
    u"An earlier repair was interrupted, so the library was put back from its safety copy."_qs;

// Each case lays out the folders as a repair cut off at one point leaves
// them, then checks what recovery makes of them.
struct RepairRecoveryTest : ::testing::Test {
    void SetUp() override
    {
        test::makePlainLibrary(library, 20);
        expected = test::snapshot(library);
    }
    void copyLibraryTo(const QString &to)
    {
        ASSERT_TRUE(QDir().mkpath(to));
        for (const QString &name : QDir(library).entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(library + u'/' + name, to + u'/' + name));
        if (to == backup)
            copyAsMade = summarizeTree(backup);
    }
    // The library as the repair leaves it midway: a dump beside the database
    // and, when `damaged`, the damaged database itself.
    void changeLibrary(bool damaged = true)
    {
        if (damaged)
            test::corruptPage(library + u"/Library.sqlite"_qs, 2);
        ASSERT_TRUE(QFile(library + u"/Library.sql"_qs).open(QIODevice::WriteOnly));
    }
    QString recover(RepairPhase phase)
    {
        EXPECT_TRUE(journal.write({phase, library, backup, partial, aside, copyAsMade}));
        const auto alert = recoverInterruptedRepair(journal);
        EXPECT_FALSE(journal.exists());
        return alert ? alert->messageText : QString();
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

struct CutOff {
    const char *name;
    std::function<void(RepairRecoveryTest &)> arrange;
    RepairPhase phase;
    QString message;
    bool keepsBackup;
};

class CutOffRepairs : public RepairRecoveryTest, public ::testing::WithParamInterface<CutOff>
{
};

// The library ends as it was before the repair (or as rebuilt), and only the
// safety copy of a checked rebuild stays beside it.
TEST_P(CutOffRepairs, endWithTheLibraryAsItWasAndNothingLeftBeside)
{
    GetParam().arrange(*this);
    EXPECT_EQ(recover(GetParam().phase), GetParam().message);
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_EQ(QFile::exists(backup), GetParam().keepsBackup);
    EXPECT_FALSE(QFile::exists(partial));
    EXPECT_FALSE(QFile::exists(aside));
}

QUILLBOX_CASES(
    CutOffRepairs, CutOff,
    ::testing::Values(
        CutOff{"whileCopying",
               [](RepairRecoveryTest &t) {
                   t.copyLibraryTo(t.partial);
                   t.changeLibrary(false);
               },
               RepairPhase::Copying,
               u"An earlier repair was interrupted before it changed the library."_qs, false},
        CutOff{"beforeTheRebuildWasChecked",
               [](RepairRecoveryTest &t) {
                   t.copyLibraryTo(t.backup);
                   t.changeLibrary();
               },
               RepairPhase::Copied, kPutBack, false},
        // The power cut lost the rename that gave the copy its name.
        CutOff{"withTheCopyStillUnderItsHiddenName",
               [](RepairRecoveryTest &t) {
                   t.copyLibraryTo(t.backup);
                   ASSERT_TRUE(QDir().rename(t.backup, t.partial));
                   t.changeLibrary();
               },
               RepairPhase::Copied, kPutBack, false},
        CutOff{"afterTheDamagedFolderWasMovedAside",
               [](RepairRecoveryTest &t) {
                   t.copyLibraryTo(t.backup);
                   t.changeLibrary();
                   ASSERT_TRUE(QDir().rename(t.library, t.aside));
               },
               RepairPhase::Restoring, kPutBack, false},
        CutOff{"afterTheCopyWasMovedIn", [](RepairRecoveryTest &t) { t.copyLibraryTo(t.aside); },
               RepairPhase::Restoring, kPutBack, false},
        CutOff{"afterTheRebuildWasChecked",
               [](RepairRecoveryTest &t) {
                   t.copyLibraryTo(t.backup);
                   t.changeLibrary(false);
               },
               RepairPhase::Rebuilt,
               u"An earlier repair was interrupted after the library had been rebuilt."_qs, true}));

TEST_F(RepairRecoveryTest, putsBackOnlyTheCopyAsItWasMadeAndOnlyWhenItsOwnerHasEnded)
{
    EXPECT_EQ(recoverInterruptedRepair(journal), std::nullopt) << "no record";
    copyLibraryTo(backup);
    changeLibrary();
    const auto damaged = test::snapshot(library);

    // A program still running its repair holds the state folder's lock.
    ASSERT_TRUE(journal.write({RepairPhase::Copied, library, backup, partial, aside, copyAsMade}));
    {
        FolderLocks running;
        ASSERT_EQ(running.lock(journal.folder()), FolderLocks::Result::Taken);
        EXPECT_EQ(recoverInterruptedRepair(journal), std::nullopt);
        EXPECT_TRUE(journal.exists());
        // Another program repairing the library itself holds its lock.
        running.release();
        ASSERT_EQ(running.lock(library), FolderLocks::Result::Taken);
        EXPECT_EQ(recoverInterruptedRepair(journal), std::nullopt);
        EXPECT_TRUE(journal.exists());
    }
    EXPECT_EQ(test::snapshot(library), damaged);

    // A copy that is not as the repair made it, or was never measured.
    ASSERT_TRUE(QFile(backup + u"/extra"_qs).open(QIODevice::WriteOnly));
    const auto changed = test::snapshot(backup);
    for (const auto &asMade : {copyAsMade, std::optional<TreeSummary>()}) {
        ASSERT_TRUE(journal.write({RepairPhase::Copied, library, backup, partial, aside, asMade}));
        const auto alert = recoverInterruptedRepair(journal);
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->messageText, u"An earlier repair was interrupted, and its safety copy is "
                                      u"not as that repair made it.");
        EXPECT_EQ(test::snapshot(library), damaged);
        EXPECT_EQ(test::snapshot(backup), changed);
    }
}

TEST_F(RepairRecoveryTest, anUnreadableOrForeignRecordChangesNothing)
{
    copyLibraryTo(backup);
    changeLibrary();
    const auto damaged = test::snapshot(library);
    ASSERT_TRUE(QDir().mkpath(journal.folder()));
    for (const QByteArray &contents :
         {QByteArray("not json"), QByteArray(R"({"version":1,"phase":"copied"})"),
          QByteArray(R"({"version":9,"phase":"copied","library":"L2E=","backup":"L2I="})")}) {
        QFile file(journal.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        const auto alert = recoverInterruptedRepair(journal);
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->messageText,
                  u"An earlier repair was interrupted, and its record cannot be read.");
        EXPECT_FALSE(journal.exists());
    }
    // A record naming a folder elsewhere as the safety copy is not obeyed.
    backup = dir.path() + u"/elsewhere/Main (Old Version).quillbox"_qs;
    copyLibraryTo(backup);
    EXPECT_EQ(recover(RepairPhase::Copied),
              u"An earlier repair was interrupted, and its record cannot be read.");
    EXPECT_EQ(test::snapshot(library), damaged);
}

} // namespace
} // namespace quillbox
