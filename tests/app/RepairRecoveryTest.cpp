#include "app/core/RepairRecovery.h"

#include "app/core/FolderLock.h"
#include "app/core/RepairJournal.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

// Each case lays out the folders as a repair cut off at one point leaves
// them, then checks what recovery makes of them.
class RepairRecoveryTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        test::makePlainLibrary(original, 20);
        ASSERT_TRUE(QDir().rename(original, library));
        ASSERT_TRUE(QDir().mkpath(original));
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
    void damageLibrary()
    {
        test::corruptPage(library + u"/Library.sqlite"_qs, 2);
        QFile dump(library + u"/Library.sql"_qs);
        ASSERT_TRUE(dump.open(QIODevice::WriteOnly));
    }
    QString recover(RepairPhase phase)
    {
        EXPECT_TRUE(journal.write({phase, library, backup, partial, aside, copyAsMade}));
        const auto alert = recoverInterruptedRepair(journal);
        EXPECT_FALSE(journal.exists());
        return alert ? alert->messageText : QString();
    }

    QTemporaryDir dir;
    QString original = dir.path() + u"/template"_qs;
    QString library = dir.path() + u"/Main.quillbox"_qs;
    QString backup = dir.path() + u"/Main (Old Version).quillbox"_qs;
    QString partial = dir.path() + u"/.quillbox-copy-AbC123"_qs;
    QString aside = dir.path() + u"/Main (Damaged).quillbox"_qs;
    RepairJournal journal{dir.path() + u"/state/repair.json"_qs};
    QMap<QString, QByteArray> expected;
    std::optional<TreeSummary> copyAsMade;
};

TEST_F(RepairRecoveryTest, nothingToDoWithoutARecord)
{
    EXPECT_EQ(recoverInterruptedRepair(journal), std::nullopt);
}

TEST_F(RepairRecoveryTest, cutOffWhileCopyingRemovesThePartialCopyOnly)
{
    copyLibraryTo(partial);
    EXPECT_EQ(recover(RepairPhase::Copying),
              u"An earlier repair was interrupted before it changed the library.");
    EXPECT_FALSE(QFile::exists(partial));
    EXPECT_EQ(test::snapshot(library), expected);
}

TEST_F(RepairRecoveryTest, cutOffBeforeTheRebuildWasCheckedPutsTheCopyBack)
{
    copyLibraryTo(backup);
    damageLibrary();
    EXPECT_EQ(
        recover(RepairPhase::Copied),
        u"An earlier repair was interrupted, so the library was put back from its safety copy.");
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_FALSE(QFile::exists(aside));
}

TEST_F(RepairRecoveryTest, aCompleteCopyStillUnderItsHiddenNameIsPutBack)
{
    // The power cut lost the rename that gave the copy its name.
    copyLibraryTo(backup);
    ASSERT_TRUE(QDir().rename(backup, partial));
    damageLibrary();
    EXPECT_EQ(
        recover(RepairPhase::Copied),
        u"An earlier repair was interrupted, so the library was put back from its safety copy.");
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_FALSE(QFile::exists(partial));
}

TEST_F(RepairRecoveryTest, cutOffMidRestoreFinishesIt)
{
    // After the damaged folder was moved aside.
    copyLibraryTo(backup);
    damageLibrary();
    ASSERT_TRUE(QDir().rename(library, aside));
    EXPECT_EQ(
        recover(RepairPhase::Restoring),
        u"An earlier repair was interrupted, so the library was put back from its safety copy.");
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_FALSE(QFile::exists(aside));

    // After the copy was moved in, before the damaged folder was removed.
    copyLibraryTo(aside);
    EXPECT_EQ(
        recover(RepairPhase::Restoring),
        u"An earlier repair was interrupted, so the library was put back from its safety copy.");
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_FALSE(QFile::exists(aside));
}

TEST_F(RepairRecoveryTest, cutOffAfterTheRebuildKeepsIt)
{
    copyLibraryTo(backup);
    QFile dump(library + u"/Library.sql"_qs);
    ASSERT_TRUE(dump.open(QIODevice::WriteOnly));
    dump.close();
    EXPECT_EQ(recover(RepairPhase::Rebuilt),
              u"An earlier repair was interrupted after the library had been rebuilt.");
    EXPECT_EQ(test::snapshot(library), expected);
    EXPECT_TRUE(QFile::exists(backup));
}

TEST_F(RepairRecoveryTest, putsBackOnlyTheCopyAsItWasMadeAndOnlyWhenItsOwnerHasEnded)
{
    copyLibraryTo(backup);
    damageLibrary();
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
    QFile extra(backup + u"/extra"_qs);
    ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
    extra.close();
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
    damageLibrary();
    const auto damaged = test::snapshot(library);
    for (const QByteArray &contents :
         {QByteArray("not json"), QByteArray(R"({"version":1,"phase":"copied"})"),
          QByteArray(R"({"version":9,"phase":"copied","library":"L2E=","backup":"L2I="})")}) {
        ASSERT_TRUE(QDir().mkpath(dir.path() + u"/state"_qs));
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
