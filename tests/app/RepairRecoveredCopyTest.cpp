// A library beyond repair: its recovered copy, and the choice to use it.
#include "app/core/repair/LibraryRepair.h"

#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RepairFixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace quillbox::test
{
namespace
{

using enum RepairOutcome;

// Rows deleted before the damage stay deleted in the recovered copy: the
// free pages that still hold them are read only when the list of them is
// damaged itself.
TEST_F(LibraryRepairTest, theRecoveredCopyLeavesDeletedRowsOut)
{
    ASSERT_TRUE(QDir().mkpath(library));
    runSql(db(), QString::fromUtf8(kFreedRows));
    test::corruptPage(db(), runSql(db(), u"SELECT pageno FROM dbstat WHERE name = 'notes' AND "
                                         u"pagetype = 'leaf' ORDER BY pageno LIMIT 1 OFFSET 3;"_qs)
                                .toInt());
    EXPECT_EQ(repair(), RepairOutcome::CorruptRestored);
    const QString recovered = documents + u'/' + kRecovered + u"/Library.sqlite"_qs;
    EXPECT_GT(readableRows(recovered, u"notes"_qs), 1400);
    EXPECT_EQ(runSql(recovered,
                     u"SELECT count(*) FROM notes WHERE id > 1500;"
                     u"SELECT count(*) FROM sqlite_schema WHERE name = 'lost_and_found';"_qs),
              u"0\n0");
}

// A library beyond repair is put back as it was, and its recovered copy is
// then offered in its place. Used, the copy takes the library's name and the
// damaged library stays beside it byte for byte, under a name of its own;
// kept, or refused because Quillbox was started meanwhile, both stay as they
// were.
struct RecoveredCopyCase {
    const char *name;
    int answer;          // to the question
    const char *taken;   // a folder beside the library before the repair; may be null
    const char *started; // the companion started while the question is open; may be null
    RepairOutcome outcome;
    const char *damaged; // where the damaged library ends
    const char *message; // the alert after the question; null when none
    QStringList entries; // beside the library in the end
};

class RecoveredCopies : public LibraryRepairTest,
                        public ::testing::WithParamInterface<RecoveredCopyCase>
{
};

TEST_P(RecoveredCopies, takeTheLibrarysPlaceOnlyWhenChosen)
{
    const RecoveredCopyCase &c = GetParam();
    test::makePlainLibrary(library, 2000);
    test::corruptNotesPage(db(), 3);
    const auto damaged = test::snapshot(library);
    ASSERT_TRUE(c.taken == nullptr || QDir().mkpath(documents + u'/' + c.taken));
    const QString copy = documents + u'/' + kRecovered;
    QMap<QString, QByteArray> recovered;
    alerts.answers = {kFirstButton + 1, c.answer};
    alerts.onShow = [&](const Alert &alert) {
        if (alert.messageText != kUseRecovered)
            return;
        recovered = test::snapshot(copy);
        if (c.started != nullptr)
            apps.running = {QString::fromUtf8(c.started)};
    };
    EXPECT_EQ(repair(), c.outcome);
    QStringList messages{kCorrupt, kUseRecovered};
    if (c.message != nullptr)
        messages.append(QString::fromUtf8(c.message));
    EXPECT_EQ(alerts.messages(), messages);
    // The question named the folder the damaged library would go to.
    EXPECT_TRUE(alerts.shown[1].informativeText.contains(c.outcome == RepairOutcome::RecoveredInUse
                                                             ? QString::fromUtf8(c.damaged)
                                                             : u"Main (Damaged).quillbox"_qs));
    EXPECT_EQ(test::snapshot(documents + u'/' + c.damaged), damaged);
    EXPECT_EQ(test::entries(documents), c.entries);
    ASSERT_FALSE(recovered.isEmpty());
    EXPECT_EQ(test::snapshot(c.outcome == RepairOutcome::RecoveredInUse ? library : copy),
              recovered);
}

// clang-format off
QUILLBOX_CASES(RecoveredCopies, RecoveredCopyCase, ::testing::Values(
    RecoveredCopyCase{"used", kFirstButton, nullptr, nullptr, RecoveredInUse,
        "Main (Damaged).quillbox", "The recovered library is now in use.",
        {u"Main (Damaged).quillbox"_qs, u"Main.quillbox"_qs}},
    RecoveredCopyCase{"usedBesideAFolderOfTheDamagedName", kFirstButton, "Main (Damaged).quillbox",
        nullptr, RecoveredInUse, "Main (Damaged) 1.quillbox", "The recovered library is now in use.",
        {u"Main (Damaged) 1.quillbox"_qs, u"Main (Damaged).quillbox"_qs, u"Main.quillbox"_qs}},
    RecoveredCopyCase{"kept", kFirstButton + 1, nullptr, nullptr, CorruptRestored, "Main.quillbox",
        nullptr, {QString::fromUtf8(kRecovered), u"Main.quillbox"_qs}},
    RecoveredCopyCase{"refusedOnceQuillboxRuns", kFirstButton, nullptr, "com.quillbox.Quillbox",
        CorruptRestored, "Main.quillbox", "The recovered library could not be put in place.",
        {QString::fromUtf8(kRecovered), u"Main.quillbox"_qs}}));
// clang-format on

} // namespace
} // namespace quillbox::test
