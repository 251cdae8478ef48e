// The damage verdict names each damaged b-tree and its role, read from a
// real damaged database that it leaves as it was.
#include "app/core/DamageVerdict.h"

#include "app/core/ShellSettings.h"
#include "app/core/SqliteShell.h"
#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{

void PrintTo(const DamageVerdict::Tree &tree, std::ostream *os)
{
    *os << tree.name.toStdString() << " (role " << static_cast<int>(tree.role) << ')';
}

namespace
{

using Role = DamageVerdict::Tree::Role;
using Kind = DamageVerdict::Kind;

const char *const kLibrary = R"(PRAGMA page_size=4096;
CREATE TABLE notes(id INTEGER PRIMARY KEY, title TEXT, body TEXT);
CREATE INDEX notes_by_title ON notes(title);
CREATE TABLE tags(name TEXT PRIMARY KEY, body TEXT) WITHOUT ROWID;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
  INSERT INTO notes SELECT i, 'Note ' || i, printf('%.300c', 'x') FROM n;
INSERT INTO tags SELECT 'tag ' || id, body FROM notes;
CREATE VIRTUAL TABLE search USING fts5(title);
INSERT INTO search(rowid, title) SELECT id, title FROM notes;
CREATE VIRTUAL TABLE bare USING fts5(title, content='');
INSERT INTO bare(rowid, title) SELECT id, title FROM notes;)";

// One damage per case: a leaf of the b-tree `leafOf` overwritten, or `sql`
// run on the library.
struct VerdictCase {
    const char *name;
    const char *leafOf;
    const char *sql;
    Kind kind;
    QList<DamageVerdict::Tree> trees; // the first ones named, in order
    bool unreachedRows = false;
};

class Verdicts : public ::testing::TestWithParam<VerdictCase>
{
};

TEST_P(Verdicts, nameEachDamagedTreeAndChangeNothing)
{
    const VerdictCase &c = GetParam();
    const QTemporaryDir sandbox;
    const QString db = sandbox.filePath(u"Library.sqlite"_qs);
    test::runSql(db, QString::fromUtf8(kLibrary));
    if (c.leafOf != nullptr)
        test::corruptPage(db, test::runSql(db, u"SELECT pageno FROM dbstat WHERE name = '%1' AND "
                                               "pagetype = 'leaf' LIMIT 1 OFFSET 3;"_qs.arg(
                                                   QLatin1String(c.leafOf)))
                                  .toInt());
    if (c.sql != nullptr)
        test::runSql(db, QString::fromUtf8(c.sql));
    const auto before = test::snapshot(sandbox.path());

    const SqliteShell reader = SqliteShell(test::shellPath()).withSetup(onlyRead());
    QuerySeries queries(reader, sandbox.path());
    const auto verdict = judgeDamage(queries);
    ASSERT_TRUE(verdict.has_value());
    EXPECT_EQ(verdict->kind, c.kind) << verdict->findings.toStdString();
    EXPECT_EQ(verdict->trees.mid(0, c.trees.size()), c.trees) << verdict->findings.toStdString();
    EXPECT_EQ(verdict->unreachedRows, c.unreachedRows);
    EXPECT_EQ(test::snapshot(sandbox.path()), before);
}

QUILLBOX_CASES(
    Verdicts, VerdictCase,
    ::testing::Values(
        VerdictCase{"intact", nullptr, nullptr, Kind::Intact, {}},
        VerdictCase{"indexLeaf",
                    "notes_by_title",
                    nullptr,
                    Kind::Repairable,
                    {{u"notes_by_title"_qs, Role::Index}}},
        VerdictCase{"tableLeaf",
                    "notes",
                    nullptr,
                    Kind::RowsLost,
                    {{u"notes"_qs, Role::Table}, {u"notes_by_title"_qs, Role::Index}}},
        // Its b-tree is shaped like an index's, yet it holds the rows.
        VerdictCase{
            "withoutRowidLeaf", "tags", nullptr, Kind::RowsLost, {{u"tags"_qs, Role::Table}}},
        // A full-text index is built anew from the text it keeps; one that
        // keeps none holds data.
        VerdictCase{"fullTextIndexLeaf",
                    "search_data",
                    nullptr,
                    Kind::Repairable,
                    {{u"search"_qs, Role::TextIndex}}},
        VerdictCase{"contentlessFullTextIndexLeaf",
                    "bare_data",
                    nullptr,
                    Kind::RowsLost,
                    {{u"bare_data"_qs, Role::Table}}},
        // Its pages are reached by no b-tree and still hold its rows.
        VerdictCase{"tableLostItsSchemaEntry",
                    nullptr,
                    ".dbconfig defensive off\nPRAGMA writable_schema=ON; DELETE FROM sqlite_schema "
                    "WHERE tbl_name = 'notes';",
                    Kind::RowsLost,
                    {},
                    true}));

} // namespace
} // namespace quillbox
