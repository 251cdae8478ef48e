#include "app/core/salvage/Salvage.h"

#include "app/core/sqlite/SqliteShell.h"
#include "app/core/texts/SalvageText.h"
#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

using test::runSql;

const char *const kNotes = QUILLBOX_NOTES_SQL;

// How the damage is done.
enum class Damage {
    LeafPage,    // a leaf page of notes is garbage: its rows are gone
    Subtree,     // the root of notes is one child short: a subtree is orphaned
    SchemaEntry, // the schema entry of notebooks is gone: its rows are orphaned
    IndexRoot,   // the root of notes_by_title is garbage: its other pages are orphaned
};

struct SalvageCase {
    const char *name;
    const char *more; // SQL run after kNotes
    Damage damage;
    qint64 leftInLostAndFound;
    const char *untouched = "notebooks"; // a table the recovered copy holds as it was
    const char *first = "";              // SQL run before kNotes
};

class SalvageTest : public ::testing::TestWithParam<SalvageCase>
{
  protected:
    QString notes(const QString &db)
    {
        return runSql(db, u"SELECT id, title, body, score FROM notes ORDER BY id;"_qs);
    }
    int page(const QString &sql) { return runSql(db, sql).toInt(); }
    void damage(Damage damage)
    {
        const int root = page(u"SELECT rootpage FROM sqlite_schema WHERE name = 'notes';"_qs);
        QFile file(db);
        switch (damage) {
        case Damage::LeafPage:
            test::corruptPage(db, page(u"SELECT pageno FROM dbstat WHERE name = 'notes' AND "
                                       u"pagetype = 'leaf' ORDER BY pageno LIMIT 1 OFFSET 7;"_qs));
            break;
        case Damage::Subtree:
            ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek((root - 1) * 4096 + 3));
            file.write(QByteArray("\0\1", 2));
            break;
        case Damage::IndexRoot:
            test::corruptPage(
                db, page(u"SELECT rootpage FROM sqlite_schema WHERE name = 'notes_by_title';"_qs));
            break;
        case Damage::SchemaEntry:
            runSql(db, u".dbconfig defensive off\nPRAGMA writable_schema=ON;\n"
                       u"DELETE FROM sqlite_schema WHERE name = 'notebooks';"_qs);
            break;
        }
    }
    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
    QString db = library + u"/Library.sqlite"_qs;
    QString recovered = sandbox.path() + u"/Main (Recovered).quillbox/Library.sqlite"_qs;
};

// The rows the list of lost items names, by id, with their titles.
QMap<qint64, QString> namedAsLost(const QString &file)
{
    QFile list(file);
    QMap<qint64, QString> named;
    if (file.isEmpty() || !list.open(QIODevice::ReadOnly))
        return named;
    static const QRegularExpression row(u"^id (\\d+): title “(.*)”$"_qs);
    for (const QString &line : QString::fromUtf8(list.readAll()).split(u'\n')) {
        if (const auto match = row.match(line); match.hasMatch())
            named.insert(match.captured(1).toLongLong(), match.captured(2));
    }
    return named;
}

// The recovered copy holds every row as it was, or none of it: a row put
// back from lost_and_found is exact. Each row it lacks is named as lost,
// with the title the index kept; no other row is.
TEST_P(SalvageTest, namesExactlyTheRowsThatWereLost)
{
    const SalvageCase &c = GetParam();
    ASSERT_TRUE(QDir().mkpath(library));
    runSql(db, QString::fromUtf8(c.first) + QString::fromUtf8(kNotes) + QString::fromUtf8(c.more));
    QMap<qint64, QString> intact;
    for (const QString &line : notes(db).split(u'\n'))
        intact.insert(line.section(u'|', 0, 0).toLongLong(), line);
    const QString untouched = u"SELECT * FROM \"%1\" ORDER BY rowid;"_qs.arg(c.untouched);
    const QString untouchedRows = runSql(db, untouched);
    damage(c.damage);

    const SalvageReport report = salvageOnly(SqliteShell(test::shellPath()), library);
    ASSERT_EQ(report.failure, SalvageReport::Failure::None) << report.detail.toStdString();

    QMap<qint64, QString> destroyed = intact;
    for (const QString &line : notes(recovered).split(u'\n', Qt::SkipEmptyParts)) {
        EXPECT_EQ(line, intact.value(line.section(u'|', 0, 0).toLongLong()));
        destroyed.remove(line.section(u'|', 0, 0).toLongLong());
    }
    EXPECT_TRUE(c.damage != Damage::LeafPage || !destroyed.isEmpty());
    QMap<qint64, QString> titles;
    for (auto row = destroyed.begin(); row != destroyed.end(); ++row)
        titles.insert(row.key(), row->section(u'|', 1, 1));
    EXPECT_EQ(namedAsLost(report.lostItemsFile), titles);
    EXPECT_EQ(report.lostItemsFile.isEmpty(), destroyed.isEmpty());
    EXPECT_EQ(describeSalvage(report).contains(u"rows of “notes” lost"_qs), !destroyed.isEmpty());
    EXPECT_EQ(report.lostAndFound, c.leftInLostAndFound);
    EXPECT_EQ(runSql(recovered, u"SELECT count(*) FROM sqlite_schema WHERE name = '%1';"_qs.arg(
                                    report.lostAndFoundTable)),
              c.leftInLostAndFound > 0 ? u"1" : u"0");
    EXPECT_EQ(runSql(recovered, untouched), untouchedRows);
    EXPECT_EQ(runSql(recovered, u"PRAGMA integrity_check;"_qs), u"ok");
}

QUILLBOX_CASES(
    SalvageTest, SalvageCase,
    ::testing::Values(
        SalvageCase{"aLeafPage", "", Damage::LeafPage, 0},
        // Names and text kept in UTF-16 are read as such.
        SalvageCase{"aLeafPageOfAUtf16Library", "", Damage::LeafPage, 0, "notebooks",
                    "PRAGMA encoding='UTF-16le';"},
        // Its orphaned rows fit notes alone, and go back there.
        SalvageCase{"aSubtree", "", Damage::Subtree, 0},
        // A table shaped like notes: which one they belong to is unknown.
        SalvageCase{"aSubtreeOfOneOfTwoTablesAlike",
                    "CREATE TABLE archive(id INTEGER PRIMARY KEY, title TEXT, body TEXT, n REAL);",
                    Damage::Subtree, 2972},
        // A table of the library's own has the recovery's name, and a row
        // that would fit notebooks; it is left alone, and the recovery's
        // table takes another name.
        SalvageCase{"aSubtreeBesideALostAndFoundTable",
                    "CREATE TABLE lost_and_found(rootpgno, pgno, nfield, id, c0, c1, c2, c3);"
                    "INSERT INTO lost_and_found VALUES (1, 2, 2, 7, NULL, 'Archive', NULL, NULL);",
                    Damage::Subtree, 0, "lost_and_found"},
        // What an index held is all in its table. (Another index has more
        // columns than the rows left over.)
        SalvageCase{"theRootOfAnIndex", "CREATE INDEX notes_by_score ON notes(score, title);",
                    Damage::IndexRoot, 0},
        // No table is left for them.
        SalvageCase{"theSchemaEntryOfATable", "", Damage::SchemaEntry, 2, "notes"}));

} // namespace
} // namespace quillbox
