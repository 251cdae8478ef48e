#include "app/core/repair/LibraryRepair.h"

#include "tests/support/Cases.h"
#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/RepairFixture.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

namespace quillbox::test
{
namespace
{

// The sample, whose recent rows live only in its -wal file, reached through a
// link: it is repaired where it really lives, its safety copy beside it there.
TEST_F(LibraryRepairTest, rebuildsTheSampleWhereItLivesKeepingTheLogsRows)
{
    const QString real = test::makeSampleLibrary(sandbox.path() + u"/sample"_qs, 300);
    const auto original = test::snapshot(real);
    ASSERT_TRUE(original.contains(u"Library.sqlite-wal"_qs));
    ASSERT_TRUE(QDir().mkpath(documents) && QFile::link(real, library));
    const QLocale before;
    QLocale::setDefault(QLocale(u"en_US"_qs));
    const auto resetLocale = qScopeGuard([&] { QLocale::setDefault(before); });
    EXPECT_EQ(repair(), RepairOutcome::Fixed);
    // It says what it kept: the library's own tables, every row compared.
    EXPECT_EQ(alerts.shown.last().detailedText,
              u"300 note_tags, 21 notebooks, 300 notes, and 30 tags: every row and value compared "
              u"with the damaged library."_qs);
    EXPECT_EQ(backup, QFileInfo(real).path() + u"/Main (Old Version).quillbox"_qs);
    EXPECT_EQ(test::snapshot(backup), original);
    EXPECT_EQ(content(db()), content(backup + u"/Library.sqlite"_qs));
    // Our shell's SQLite is newer than the system's, which Quillbox may use:
    // the system's reads the rebuilt database whole and finds the same rows.
    const QString system = u"/usr/bin/sqlite3"_qs;
    ASSERT_TRUE(QFileInfo(system).isExecutable()) << "install the sqlite3 package";
    EXPECT_EQ(runSql(db(), u"PRAGMA integrity_check;"_qs, test::ShellFailure::FailsTest, system),
              u"ok");
    EXPECT_EQ(content(db(), system), content(db()));
}

// Shell functions for the cases' commands, which run in the library folder
// with $OUT naming a folder that nothing may write to: Q runs SQL on the
// database; page and root find b-tree pages; poke writes printf-style bytes
// and fill `count` copies of a byte at an offset; garbage overwrites a page;
// deep steps down 25 folders of 200-byte names (making them with "make"):
// paths longer than the system's limit, reached one relative step at a time;
// plant appends to the schema entries it names, after their first statement
// (which is all SQLite reads of them), commands to the shell, a file written,
// a database attached and a table made, each aimed at $OUT.
const QString kTools = uR"(Q() { "$SQLITE3" -init /dev/null -batch Library.sqlite "$@"; }
page() { Q "SELECT pageno FROM dbstat WHERE name = '$1' AND pagetype = '$2' ORDER BY pageno LIMIT 1 OFFSET $3"; }
root() { Q "SELECT rootpage FROM sqlite_schema WHERE name = '$1'"; }
poke() { printf "$2" | dd of=Library.sqlite bs=1 seek="$1" conv=notrunc status=none; }
fill() { head -c "$2" /dev/zero | tr '\0' "$3" | dd of=Library.sqlite bs=1 seek="$1" conv=notrunc status=none; }
garbage() { fill $((($1 - 1) * 4096)) 4096 Z; }
deep() { d=$(printf '%0200d' 0 | tr 0 d); for i in $(seq 25); do { [ -z "$1" ] || mkdir $d; } && cd -P $d || return 1; done; }
plant() { for n in "$@"; do Q '.dbconfig defensive off' "PRAGMA writable_schema=ON; UPDATE sqlite_schema
  SET sql = sql || ';' || char(10) || '.shell touch $OUT/pwned' || char(10) || '.output $OUT/pwned' ||
  char(10) || 'SELECT writefile(''$OUT/pwned'', 1); ATTACH ''$OUT/pwned'' AS m;' || char(10) ||
  'CREATE TABLE planted(x);' WHERE name = '$n'" >/dev/null || return 1; done; }
)"_qs;

// One library per case, made by `sql` (the plain library when null) and
// changed by `arrange`; the dump passes through the filter `tamper` when one
// is given. Either every value comes back exactly, beside a safety copy of
// the library as it was, or the library is byte for byte as it was, with
// only `beside` next to it.
struct RepairCase {
    const char *name;
    const char *sql;
    const char *arrange;
    RepairOutcome outcome;
    const char *message;          // of the first alert (a recovered copy is then offered)
    bool rebuilt;                 // the damaged database was deleted and rebuilt
    const char *beside = nullptr; // what a refusal leaves beside the library
    const char *tamper = nullptr; // a filter the dump passes through
    const char *says = "";        // part of the alert's informative text
    const char *verify = nullptr; // holds in a fixed library and its safety copy
    bool rowsChanged = false;     // `arrange` changed rows, which a fix must keep
};

class Libraries : public LibraryRepairTest, public ::testing::WithParamInterface<RepairCase>
{
  protected:
    // Runs `commands` with the tools in `folder`.
    bool sh(const QString &folder, const char *commands)
    {
        return QProcess::execute(
                   u"env"_qs,
                   {u"SQLITE3="_qs + test::shellPath(), u"OUT="_qs + outside, u"sh"_qs, u"-ec"_qs,
                    u"cd \"$0\"\n"_qs + kTools + QString::fromUtf8(commands), folder}) == 0;
    }
    QString outside = sandbox.path() + u"/outside"_qs;
};

TEST_P(Libraries, areRepairedExactlyOrLeftAsTheyWere)
{
    const RepairCase &c = GetParam();
    test::makePlainLibrary(outside, 10);
    if (c.sql == nullptr)
        test::makePlainLibrary(library, 10);
    else if (QDir().mkpath(library))
        runSql(db(), QString::fromUtf8(c.sql).replace(u"$OUT"_qs, outside));
    ::chmod(QFile::encodeName(db()).constData(), 0600);
    QString intact = content(db());
    const QString intactSchema = schema(db());
    ASSERT_TRUE(c.arrange == nullptr || sh(library, c.arrange));
    // Read from a copy: reading the library itself would fold its log in.
    const QString arranged = sandbox.path() + u"/arranged"_qs;
    if (c.rowsChanged && QProcess::execute(u"cp"_qs, {u"-a"_qs, library, arranged}) == 0)
        intact = content(arranged + u"/Library.sqlite"_qs);
    const auto before = test::snapshot(library);
    const auto outsideBefore = test::snapshot(outside);
    const bool salvaged = qstrcmp(c.beside, kRecovered) == 0;
    const qint64 readable =
        salvaged ? readableRows(db(), u"notes"_qs) + readableRows(db(), u"t"_qs) : 0;

    EXPECT_EQ(repair(c.tamper == nullptr
                         ? test::shellPath()
                         : shellWrapper(u"true"_qs,
                                        QString::fromUtf8(c.tamper).replace(u"$OUT"_qs, outside))),
              c.outcome);
    QStringList messages{QString::fromUtf8(c.message)};
    if (salvaged)
        messages.append(kUseRecovered);
    EXPECT_EQ(alerts.messages(), messages);
    const Alert &alert = alerts.shown.first();
    EXPECT_TRUE((alert.informativeText + alert.detailedText).contains(QString::fromUtf8(c.says)));
    EXPECT_EQ(stages.contains(RepairStage::Rebuild), c.rebuilt);
    EXPECT_EQ(test::snapshot(outside), outsideBefore);
    if (c.outcome == RepairOutcome::Fixed) {
        EXPECT_TRUE(alert.informativeText.contains(backup));
        EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
        EXPECT_EQ(fractions.last(), 1.0);
        EXPECT_EQ(test::snapshot(backup), before);
        EXPECT_EQ(besideTheDatabase(library), besideTheDatabase(backup));
        EXPECT_EQ(test::entries(documents),
                  (QStringList{u"Main (Old Version).quillbox"_qs, u"Main.quillbox"_qs}));
        EXPECT_EQ(runSql(db(), u"PRAGMA integrity_check;"_qs), u"ok");
        EXPECT_EQ(content(db()), intact);
        EXPECT_EQ(schema(db()), intactSchema);
        EXPECT_EQ(QFileInfo(db()).permissions(),
                  QFileInfo(backup + u"/Library.sqlite"_qs).permissions());
        EXPECT_TRUE(c.verify == nullptr || (sh(library, c.verify) && sh(backup, c.verify)));
        return;
    }
    EXPECT_EQ(test::snapshot(library), before);
    EXPECT_EQ(test::entries(documents),
              (c.beside == nullptr
                   ? QStringList{u"Main.quillbox"_qs}
                   : QStringList{QString::fromUtf8(c.beside), u"Main.quillbox"_qs}));
    if (!salvaged)
        return;
    // What could be saved is complete, and holds at least what a plain scan
    // could still read.
    const QString recovered = documents + u'/' + kRecovered + u"/Library.sqlite"_qs;
    // Sound but for the index of a contentless full-text table that lost
    // rows, which nothing can make match them again.
    EXPECT_EQ(runSql(recovered, u"SELECT integrity_check FROM pragma_integrity_check WHERE "
                                u"integrity_check <> 'malformed inverted index for FTS5 table "
                                u"main.bare' UNION ALL SELECT 'ok' LIMIT 1;"_qs),
              u"ok");
    const qint64 saved = readableRows(recovered, u"notes"_qs) + readableRows(recovered, u"t"_qs) +
                         readableRows(recovered, u"lost_and_found"_qs);
    EXPECT_GE(saved, readable);
    EXPECT_GT(saved, 0);
}

const char *const kNotes = QUILLBOX_NOTES_SQL;
// A table wider than the 127 arguments an SQL function can take.
const std::string kWideTable = [] {
    std::string columns = "c1";
    for (int i = 2; i <= 200; ++i)
        columns += ", c" + std::to_string(i);
    return "CREATE TABLE wide(" + columns + ");\nINSERT INTO wide(c1, c200) VALUES (-0.0, 'last');";
}();
// Schema text with comments where a dump must end a statement with care,
// analysed by an SQLite that kept no STAT4 samples.
const char *const kCommentedSchema = R"(CREATE TABLE t(a, b -- the b
);
CREATE INDEX t_by_a ON t(a -- by a
);
CREATE INDEX t_by_b ON t(b) -- trailing
;
INSERT INTO t VALUES (1, 2), (3, 4);
ANALYZE;
DROP TABLE sqlite_stat4;)";
// A table without a rowid, and an index that covers every one of its
// columns, which SQLite would read in its place.
const char *const kCoveredTable = R"(PRAGMA page_size=4096;
CREATE TABLE w(k INTEGER PRIMARY KEY, a TEXT, b TEXT) WITHOUT ROWID;
CREATE INDEX w_by_a ON w(a, b);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
  INSERT INTO w SELECT i, 'a' || i, printf('%.100c', 'b') FROM n;)";
// One schema entry of each kind.
const char *const kSchemaKinds = R"(CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT);
INSERT INTO t VALUES (1, 'one'), (2, 'two');
CREATE INDEX t_by_v ON t(v);
CREATE VIEW tv AS SELECT v FROM t;
CREATE TRIGGER t_added AFTER INSERT ON t BEGIN SELECT 1; END;
CREATE VIRTUAL TABLE s USING fts5(v);
INSERT INTO s VALUES ('searchable');)";
// Full-text indexes of each kind over the same text: FTS5 and FTS4 with
// their own copy of it, FTS5 over the table t, and FTS5 without any.
const char *const kFullText = R"(PRAGMA page_size=4096;
CREATE TABLE t(id INTEGER PRIMARY KEY, body TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
  INSERT INTO t SELECT i, 'word' || (i % 97) || ' ' || printf('%.60c', 'z') || i FROM n;
CREATE VIRTUAL TABLE f5 USING fts5(body);
INSERT INTO f5(rowid, body) SELECT id, body FROM t;
CREATE VIRTUAL TABLE f4 USING fts4(body);
INSERT INTO f4(docid, body) SELECT id, body FROM t;
CREATE VIRTUAL TABLE ext USING fts5(body, content='t', content_rowid='id');
INSERT INTO ext(ext) VALUES ('rebuild');
CREATE VIRTUAL TABLE bare USING fts5(body, content='');
INSERT INTO bare(rowid, body) SELECT id, body FROM t;)";
// Filters that put a line into the dump before its last: what a library
// would have to smuggle past the dump's quoting to run anything.
#define QUILLBOX_SMUGGLED(line) "{ sed '$d'; echo \"" line "\"; echo 'COMMIT;'; }"
const char *const kCopyFailed = "There was a problem saving a copy of the library file.";
const char *const kNulText = "The library holds text that the repair cannot carry over.";
using enum RepairOutcome;

QUILLBOX_CASES(
    Libraries, RepairCase,
    ::testing::Values(
        // Repairable: only an index or the freelist is damaged; every row is
        // still in its table. (ANALYZE leaves samples in sqlite_stat4, which only
        // a shell built with STAT4 loads back.)
        RepairCase{"indexPage", kNotes, "garbage $(page notes_by_title leaf 2)", Fixed, kFixed,
                   true, nullptr, nullptr, "",
                   "test $(Q 'SELECT count(*) FROM sqlite_stat4') -gt 5"},
        // The first freelist trunk page claims far too many leaves.
        RepairCase{"freelist", kFreedRows,
                   "t=0x$(Q 'SELECT hex(substr(data, 33, 4)) FROM sqlite_dbpage WHERE pgno = 1'); "
                   "poke $(((t - 1) * 4096 + 4)) '\\000\\377\\377\\377'",
                   Fixed, kFixed, true},
        // The header's first freelist page is out of range: every free page is
        // one that no b-tree reaches, as many as the header counts, and the
        // old rows on them were deleted before the damage.
        RepairCase{"freelistHead", kFreedRows, "poke 32 '\\377\\377\\377\\000'", Fixed, kFixed,
                   true},
        // Exact values: REAL to the bit (-0.0 and subnormal numbers too),
        // integers at both 64-bit ends, text and BLOBs to the byte, the rowids of
        // a table without a key of its own.
        RepairCase{"exactValues", R"(CREATE TABLE v(id INTEGER PRIMARY KEY, r, b BLOB, t TEXT);
INSERT INTO v VALUES (1, -0.0, x'00ff', 'ünïcode'), (2, 5e-324, x'', ''),
  (3, 2.2250738585072009e-308, NULL, 'a'), (4, -9223372036854775808, x'01', 'b'),
  (5, 9223372036854775807, x'02', 'c'), (6, 0.1, x'03', 'd'), (7, -4.9e-324, x'04', 'e');
CREATE TABLE w(k TEXT PRIMARY KEY, r) WITHOUT ROWID; INSERT INTO w VALUES ('k', 1.5);
CREATE TABLE loose(v TEXT, w); INSERT INTO loose VALUES ('a', 1), ('b', 2), ('c', 3);
DELETE FROM loose WHERE v = 'b';)",
                   "echo 'not a journal' > Library.sqlite-journal", Fixed, kFixed, true},
        RepairCase{"wideTable", kWideTable.c_str(), nullptr, Fixed, kFixed, true},
        // A full-text index is built anew from the text it indexes, whether its
        // own b-trees are damaged or its postings no longer match its text.
        RepairCase{"fullTextIndexPages", kFullText,
                   "garbage $(page f5_data leaf 2); garbage $(page f4_segments leaf 2); "
                   "garbage $(page ext_idx leaf 0 || page ext_data leaf 1)",
                   Fixed, kFixed, true},
        RepairCase{"fullTextIndexMalformed", kFullText,
                   "Q '.dbconfig defensive off' 'DELETE FROM f5_data WHERE id IN (SELECT id FROM "
                   "f5_data WHERE id > 10 LIMIT 3 OFFSET 5)' 'DELETE FROM f4_segments WHERE "
                   "blockid IN (SELECT blockid FROM f4_segments LIMIT 2 OFFSET 5)' >/dev/null",
                   Fixed, kFixed, true},
        // Without its text, it cannot be.
        RepairCase{"contentlessFullTextIndex", kFullText, "garbage $(page bare_data leaf 2)",
                   CorruptRestored, kCorrupt, false, kRecovered},
        RepairCase{"schemaTextAndStatistics", kCommentedSchema, nullptr, Fixed, kFixed, true},
        RepairCase{"coveringIndexOfATableWithoutRowid", kCoveredTable,
                   "garbage $(page w_by_a leaf 2)", Fixed, kFixed, true},
        // Names and text that would be commands to the shell if a dump let them.
        RepairCase{
            "shellCommandsInContent",
            "CREATE TABLE \"x\n.shell touch $OUT/pwned\n\" "
            "(\"a\n.system touch $OUT/pwned\n\" TEXT);\n"
            "INSERT INTO \"x\n.shell touch $OUT/pwned\n\" "
            "VALUES ('\n.shell touch $OUT/pwned\n.output $OUT/pwned\n.read $OUT/pwned\n');\n"
            "CREATE TABLE \"y'); ATTACH '$OUT/pwned' AS m; --\" "
            "(\"b'); SELECT writefile('$OUT/pwned', 1); --\");\n"
            "INSERT INTO \"y'); ATTACH '$OUT/pwned' AS m; --\" "
            "VALUES (''');\nATTACH ''$OUT/pwned'' AS m;\nSELECT writefile(''$OUT/pwned'', 1);');",
            nullptr, Fixed, kFixed, true},
        // Text after the first statement of schema entries is neither obeyed
        // nor kept, on the way through the dump and through the recovery.
        RepairCase{"commandsPlantedInTheSchema", kSchemaKinds, "plant t t_by_v tv t_added s", Fixed,
                   kFixed, true},
        RepairCase{"commandsPlantedInADamagedSchema", kNotes,
                   "plant notes notes_by_title notebooks; garbage $(page notes leaf 7)",
                   CorruptRestored, kCorrupt, false, kRecovered},
        // Were anything to get past the quoting, the rebuild's safe mode stops it.
        RepairCase{"attachInTheDump", nullptr, nullptr, CorruptRestored, kCorrupt, true, kRecovered,
                   QUILLBOX_SMUGGLED("ATTACH '$OUT/pwned' AS m;")},
        RepairCase{"writefileInTheDump", nullptr, nullptr, CorruptRestored, kCorrupt, true,
                   kRecovered, QUILLBOX_SMUGGLED("SELECT writefile('$OUT/pwned', 1);")},
        RepairCase{"outputInTheDump", nullptr, nullptr, CorruptRestored, kCorrupt, true, kRecovered,
                   QUILLBOX_SMUGGLED(".output $OUT/pwned")},
        RepairCase{"shellInTheDump", nullptr, nullptr, CorruptRestored, kCorrupt, true, kRecovered,
                   QUILLBOX_SMUGGLED(".shell touch $OUT/pwned")},
        RepairCase{"linksAndOddNames", nullptr,
                   "ln -s . loop; ln -s \"$OUT\" outsideLink; touch \"$(printf "
                   "'line\\nbreak')\" \"'quote\\\"\" ./-rf \"$(printf '\\377\\376 bytes')\"; "
                   // only the exact database names are removed
                   "touch library.sqlite Library.sqlite-wal.old .Library.sqlite-wal",
                   Fixed, kFixed, true},
        RepairCase{"pathsLongerThanPathMax", nullptr, "(deep make; touch leaf)", Fixed, kFixed,
                   true, nullptr, nullptr, "", "deep; test -f leaf"},
        // Refused: rows were lost before the repair started.
        RepairCase{"tableLostASubtree", kNotes, // the root page is one child pointer short
                   "poke $((($(root notes) - 1) * 4096 + 3)) '\\000\\001'", CorruptRestored,
                   kCorrupt, false, kRecovered, nullptr,
                   "rows recovered; the damaged database suggests 3000"},
        // A table's own b-tree is damaged: a leaf page unreadable, or two of a
        // leaf's cells swapped, which leaves its rows out of rowid order.
        RepairCase{"tableLeafPage", kNotes, "garbage $(page notes leaf 7)", CorruptRestored,
                   kCorrupt, false, kRecovered},
        RepairCase{"tableRowsOutOfOrder", kNotes,
                   R"sh(o=$((($(page notes leaf 7) - 1) * 4096 + 8));
set -- $(od -An -tu1 -j $o -N 4 Library.sqlite);
poke $o "$(printf '\\%03o\\%03o\\%03o\\%03o' $3 $4 $1 $2)")sh",
                   CorruptRestored, kCorrupt, false, kRecovered},
        RepairCase{
            "tableLostItsSchemaEntry", kNotes,
            "Q '.dbconfig defensive off' "
            "\"PRAGMA writable_schema=ON; DELETE FROM sqlite_schema WHERE name = 'notebooks';\"",
            CorruptRestored, kCorrupt, false, kRecovered},
        // The schema's own page past the file header, then the whole file.
        RepairCase{"firstPage", kNotes, "fill 100 3996 Z", CorruptRestored, kCorrupt, false,
                   kRecovered},
        // Nothing to salvage: the tables were empty.
        RepairCase{"firstPageOfEmptyTables",
                   "PRAGMA page_size=4096; CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT);",
                   "fill 100 3996 Z", CorruptRestored, kCorrupt, false, nullptr, nullptr,
                   "no recovered copy was made"},
        RepairCase{"notADatabase", kNotes, "fill 0 $(stat -c %s Library.sqlite) q", CorruptRestored,
                   kCorrupt, false, nullptr, nullptr, "no recovered copy was made"},
        // Text a dump cannot carry code unit for code unit: a lone surrogate in a
        // UTF-16 database, in the row where the digest's two parts meet.
        RepairCase{"loneSurrogate",
                   R"(PRAGMA encoding='UTF-16le'; CREATE TABLE t(id INTEGER PRIMARY KEY, s TEXT);
INSERT INTO t VALUES (1, CAST(x'00d86100' AS TEXT)), (2, 'plain'), (3, 'plain');)",
                   nullptr, CorruptRestored, kCorrupt, true, kRecovered},
        // Text with a NUL, which a dump cuts short, in a change the log still
        // holds (reading the library must not fold the log in): set again from
        // its bytes. In a table without a rowid, it cannot be, and is refused.
        RepairCase{"nulTextInTheLog", nullptr,
                   "Q '.dbconfig no_ckpt_on_close on' 'PRAGMA journal_mode=WAL' "
                   "\"UPDATE notes SET title = 'x' || char(0) || 'y' WHERE id = 3\" >/dev/null; "
                   "test -s Library.sqlite-wal",
                   Fixed, kFixed, true, nullptr, nullptr, "", nullptr, true},
        RepairCase{"nulTextWithoutRowid",
                   "CREATE TABLE w(k TEXT PRIMARY KEY, v) WITHOUT ROWID;"
                   "INSERT INTO w VALUES ('a', 'x' || char(0) || 'y');",
                   nullptr, UnsafeText, kNulText, false, "Main (Old Version).quillbox"},
        // The dump as the real shell printed it, rolled back on its way out. (A
        // dump that looks complete but is short of a row meets the same check
        // of the rebuilt rows as the lone surrogate above.)
        RepairCase{"dumpRolledBack", nullptr, nullptr, CorruptRestored, kCorrupt, false, kRecovered,
                   "sed 's/^COMMIT;$/ROLLBACK; -- due to errors/'"},
        RepairCase{"safetyCopyFails", nullptr, "mkfifo pipe", SafetyCopyFailed, kCopyFailed, false,
                   nullptr, nullptr, "pipe"},
        RepairCase{"zeroBytes", nullptr, ": > Library.sqlite", NoLibrary, kNoLibrary, false},
        // Nothing outside the folder is ever written through a link.
        RepairCase{"linkOutside", nullptr, "ln -sf \"$OUT/Library.sqlite\" Library.sqlite",
                   NoLibrary, kNoLibrary, false},
        RepairCase{"walLinkOutside", nullptr, "ln -s \"$OUT/Library.sqlite\" Library.sqlite-wal",
                   NoLibrary, kNoLibrary, false},
        RepairCase{"journalLinkOutside", nullptr,
                   "ln -s \"$OUT/Library.sqlite\" Library.sqlite-journal", NoLibrary, kNoLibrary,
                   false}));

} // namespace
} // namespace quillbox::test
