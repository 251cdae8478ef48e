// Real damaged libraries, one kind of damage each, repaired from start to
// finish: either every row comes back exactly, or the repair refuses and
// the library is byte for byte as it was.
#include "app/core/DamageVerdict.h"
#include "app/core/FileTree.h"
#include "app/core/LibraryRepair.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace quillbox
{
namespace
{

using test::runSql;

// Writes `bytes` into the file at `offset`.
void writeAt(const QString &path, qint64 offset, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The `n`th page of b-tree `name` of type `type` ("leaf", "internal").
int pageOf(const QString &db, const QString &name, const QString &type, int n = 0)
{
    return runSql(db, QStringLiteral("SELECT pageno FROM dbstat WHERE name = '%1' AND pagetype = "
                                     "'%2' ORDER BY pageno LIMIT 1 OFFSET %3;")
                          .arg(name, type)
                          .arg(n))
        .toInt();
}

constexpr qint64 kPage = 4096;

struct DamageCase {
    const char *name;
    const char *schema; // SQL that makes the library; its tables are compared
    std::function<void(const QString &db)> damage;
    RepairOutcome outcome;
    bool salvaged = false; // a refused library leaves a recovered copy beside it
};

// Rows of `table` that a plain full scan of the damaged database still
// reads; 0 when it reads none.
qint64 readableRows(const QString &db, const QString &table)
{
    QProcess shell;
    shell.start(test::shellPath(), {u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs, db});
    shell.write(QStringLiteral("SELECT count(*) FROM \"%1\" NOT INDEXED;").arg(table).toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return shell.readAllStandardOutput().trimmed().toLongLong();
}
void PrintTo(const DamageCase &c, std::ostream *os)
{
    *os << c.name;
}

// Every value of every table, exactly: types, REAL bits, text bytes.
QString content(const QString &db)
{
    const QString tables =
        runSql(db, u"SELECT group_concat(name, ' ') FROM sqlite_schema WHERE type = 'table' "
                   u"AND name NOT LIKE 'sqlite_%';"_qs);
    QString all;
    for (const QString &table : tables.split(u' ', Qt::SkipEmptyParts)) {
        const QString columns = runSql(
            db, QStringLiteral("SELECT group_concat('typeof(' || name || '), CASE typeof(' || name "
                               "|| ') WHEN ''real'' THEN hex(ieee754_to_blob(' || name || ')) "
                               "ELSE hex(CAST(' || name || ' AS BLOB)) END', ', ') FROM "
                               "pragma_table_info('%1');")
                    .arg(table));
        all += runSql(db,
                      QStringLiteral("SELECT %1 FROM %2 ORDER BY 1, 2, 3, 4;").arg(columns, table));
    }
    return all;
}

class DamageKinds : public ::testing::TestWithParam<DamageCase>
{
  protected:
    QTemporaryDir sandbox;
    QString library = sandbox.path() + u"/Main.quillbox"_qs;
    QString db = library + u"/Library.sqlite"_qs;
    test::ScriptedAlerts alerts;
    test::FakeCompanionApps apps;
    test::RecordingWorkspace workspace;
};

TEST_P(DamageKinds, areRepairedExactlyOrRefusedWithTheLibraryAsItWas)
{
    ASSERT_TRUE(QDir().mkpath(library));
    runSql(db, QString::fromUtf8(GetParam().schema));
    ::chmod(QFile::encodeName(db).constData(), 0600);
    const QString intact = content(db);
    GetParam().damage(db);
    const auto before = test::snapshot(library);
    const qint64 readable = readableRows(db, u"notes"_qs) + readableRows(db, u"t"_qs);

    LibraryRepair repair({alerts, apps, workspace}, SqliteShell(test::shellPath()), library);
    EXPECT_EQ(repair.fixLibrary(), GetParam().outcome)
        << alerts.messages().join(u'\n').toStdString();
    if (GetParam().outcome == RepairOutcome::Fixed) {
        EXPECT_FALSE(QFile::exists(sandbox.path() + u"/Main (Recovered).quillbox"_qs));
        EXPECT_EQ(runSql(db, u"PRAGMA integrity_check;"_qs), u"ok");
        EXPECT_EQ(content(db), intact);
        struct stat st {
        };
        ASSERT_EQ(::stat(QFile::encodeName(db).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        return;
    }
    EXPECT_EQ(test::snapshot(library), before);
    // What could be saved is beside it, complete, and holds at least what a
    // plain scan could still read.
    const QString recovered = sandbox.path() + u"/Main (Recovered).quillbox/Library.sqlite"_qs;
    ASSERT_EQ(QFile::exists(recovered), GetParam().salvaged);
    if (!GetParam().salvaged) {
        EXPECT_TRUE(alerts.shown.first().detailedText.contains(u"no recovered copy was made"));
        return;
    }
    EXPECT_EQ(runSql(recovered, u"PRAGMA integrity_check;"_qs), u"ok");
    const qint64 saved = readableRows(recovered, u"notes"_qs) + readableRows(recovered, u"t"_qs) +
                         readableRows(recovered, u"lost_and_found"_qs);
    EXPECT_GE(saved, readable);
    EXPECT_GT(saved, 0);
}

const char *const kNotes = R"(PRAGMA page_size=4096;
CREATE TABLE notes(id INTEGER PRIMARY KEY, title TEXT, body TEXT, score REAL);
CREATE INDEX notes_by_title ON notes(title);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
  INSERT INTO notes SELECT i, 'Note ' || i, printf('%.200c', 'x'), i / 7.0 FROM n;
CREATE TABLE notebooks(id INTEGER PRIMARY KEY, title TEXT);
INSERT INTO notebooks VALUES (1, 'Inbox'), (2, 'Work');
)";

INSTANTIATE_TEST_SUITE_P(
    Cases, DamageKinds,
    ::testing::Values(
        // Repairable: only an index or the freelist is damaged; every row is
        // still in its table.
        DamageCase{"indexPage", kNotes,
                   [](const QString &db) {
                       test::corruptPage(db, pageOf(db, u"notes_by_title"_qs, u"leaf"_qs, 2));
                   },
                   RepairOutcome::Fixed},
        DamageCase{"freelist",
                   R"(PRAGMA page_size=4096; PRAGMA secure_delete=OFF;
CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
  INSERT INTO notes SELECT i, printf('%.300c', 'y') FROM n;
DELETE FROM notes WHERE id > 1500;)",
                   [](const QString &db) {
                       // The first freelist trunk page claims far too many leaves.
                       const int trunk = runSql(db, u"SELECT hex(substr(data, 33, 4)) FROM "
                                                    u"sqlite_dbpage WHERE pgno = 1;"_qs)
                                             .toInt(nullptr, 16);
                       writeAt(db, (trunk - 1) * kPage + 4, QByteArray::fromHex("00ffffff"));
                   },
                   RepairOutcome::Fixed},
        // Exact values: REAL to the bit (-0.0 and subnormal numbers too),
        // integers at both 64-bit ends, text and BLOBs to the byte.
        DamageCase{"exactValues",
                   R"(CREATE TABLE v(id INTEGER PRIMARY KEY, r, b BLOB, t TEXT);
INSERT INTO v VALUES (1, -0.0, x'00ff', 'ünïcode'), (2, 5e-324, x'', ''),
  (3, 2.2250738585072009e-308, NULL, 'a'), (4, -9223372036854775808, x'01', 'b'),
  (5, 9223372036854775807, x'02', 'c'), (6, 0.1, x'03', 'd'), (7, -4.9e-324, x'04', 'e');
CREATE TABLE w(k TEXT PRIMARY KEY, r) WITHOUT ROWID; INSERT INTO w VALUES ('k', 1.5);)",
                   [](const QString &) {}, RepairOutcome::Fixed},
        // Refused: rows were lost before the repair started.
        DamageCase{"tableLostASubtree", kNotes,
                   [](const QString &db) {
                       // The table's root page is one child pointer short.
                       const int root =
                           runSql(db,
                                  u"SELECT rootpage FROM sqlite_schema WHERE name = 'notes';"_qs)
                               .toInt();
                       writeAt(db, (root - 1) * kPage + 3, QByteArray::fromHex("0001"));
                   },
                   RepairOutcome::CorruptRestored, true},
        DamageCase{"tableLostItsSchemaEntry", kNotes,
                   [](const QString &db) {
                       runSql(db, u"PRAGMA writable_schema=ON; DELETE FROM sqlite_schema WHERE "
                                  u"name = 'notebooks';"_qs);
                   },
                   RepairOutcome::CorruptRestored, true},
        // Text a dump cannot carry code unit for code unit: a lone surrogate
        // in a UTF-16 database.
        DamageCase{"loneSurrogate",
                   R"(PRAGMA encoding='UTF-16le'; CREATE TABLE t(id INTEGER PRIMARY KEY, s TEXT);
INSERT INTO t VALUES (1, 'plain'), (2, CAST(x'00d86100' AS TEXT));)",
                   [](const QString &) {}, RepairOutcome::CorruptRestored, true},
        // The schema's own page (past the file header), then every page,
        // overwritten.
        DamageCase{"firstPage", kNotes,
                   [](const QString &db) { writeAt(db, 100, QByteArray(kPage - 100, '\x5a')); },
                   RepairOutcome::CorruptRestored, true},
        DamageCase{"everyPage", kNotes,
                   [](const QString &db) {
                       const qint64 pages = QFileInfo(db).size() / kPage;
                       for (int page = 1; page <= pages; ++page)
                           test::corruptPage(db, page);
                   },
                   RepairOutcome::CorruptRestored, false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace quillbox
