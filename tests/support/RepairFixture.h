#pragma once

// The fixture of the repair's own tests: a library in a sandbox, repaired
// by LibraryRepair with scripted alerts, and what a repair must keep.
#include "app/core/fs/FileTree.h"
#include "app/core/repair/LibraryRepair.h"
#include "tests/support/Libraries.h"
#include "tests/support/TestDoubles.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <tuple>

namespace quillbox::test
{

inline const char *const kFixed = "The library file has been fixed!";
inline const char *const kCorrupt =
    "The library file is corrupt and cannot be repaired automatically.";
inline const char *const kNoLibrary = "This folder holds no Quillbox library to repair.";
inline const char *const kRecovered = "Main (Recovered).quillbox";
inline const char *const kUseRecovered = "Do you want to use the recovered library now?";

// Half the rows deleted, their pages left on the freelist as they were.
inline const char *const kFreedRows = R"(PRAGMA page_size=4096; PRAGMA secure_delete=OFF;
CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)
  INSERT INTO notes SELECT i, printf('%.300c', 'y') FROM n;
DELETE FROM notes WHERE id > 1500;)";
// Everything a rebuild must keep: the header's settings, then every row of
// every table (FTS5's text, sqlite_sequence and the statistics included)
// with its rowid, the type of each value, REAL values to the bit, text and
// BLOBs to the byte. A full-text index counts by what it answers, every term
// with each place it occurs, not by the bytes of the tables it builds for
// itself. Read by our shell, or by `shell`.
inline QString content(const QString &db, const QString &shell = shellPath())
{
    const QString tables = runSql(
        db,
        uR"(SELECT q FROM (SELECT name AS k, 'SELECT ' || iif(wr, '', 'typeof(rowid), rowid, ') ||
  (SELECT group_concat(replace('typeof(@), CASE typeof(@) WHEN ''real'' THEN hex(ieee754_to_blob(@))
     ELSE hex(CAST(@ AS BLOB)) END', '@', '"' || replace(c.name, '"', '""') || '"'), ', ')
   FROM pragma_table_info(l.name) AS c) || ' FROM "' || replace(name, '"', '""') || '" ORDER BY 1, 2, 3, 4;' AS q
FROM pragma_table_list AS l WHERE schema = 'main' AND type <> 'view' AND name <> 'sqlite_schema'
  AND NOT (type = 'shadow' AND EXISTS (SELECT 1 FROM (VALUES ('data'), ('idx'), ('docsize'), ('segments'),
    ('segdir'), ('stat')) WHERE l.name LIKE '%\_' || column1 ESCAPE '\'))
UNION ALL
SELECT name, 'CREATE VIRTUAL TABLE temp."v' || rowid || '" USING ' ||
  iif(sql LIKE '%fts5%', 'fts5vocab(main, ' || quote(name) || ', ''instance'')',
      'fts4aux(main, ' || quote(name) || ')') || '; SELECT * FROM temp."v' || rowid || '" ORDER BY 1, 2, 3, 4;'
FROM sqlite_schema WHERE type = 'table' AND sql LIKE 'CREATE VIRTUAL TABLE%USING fts%') ORDER BY k, q;)"_qs,
        ShellFailure::FailsTest, shell);
    return runSql(db,
                  u"PRAGMA user_version; PRAGMA application_id; PRAGMA page_size;"
                  u"PRAGMA encoding; PRAGMA journal_mode;\n"_qs +
                      tables,
                  ShellFailure::FailsTest, shell);
}

// Every schema entry as SQLite keeps it, its text included.
inline QString schema(const QString &db)
{
    return runSql(db, u"SELECT type, name, tbl_name, quote(sql) FROM sqlite_schema ORDER BY 2;"_qs);
}

// Rows of `table` that a plain full scan still reads; 0 when it reads none.
inline qint64 readableRows(const QString &db, const QString &table)
{
    return runSql(db, u"SELECT count(*) FROM \"%1\" NOT INDEXED;"_qs.arg(table),
                  ShellFailure::Allowed)
        .toLongLong();
}

class LibraryRepairTest : public ::testing::Test
{
  protected:
    // Byte-exact and free of the path length limit, unlike QTemporaryDir's
    // own clean-up, for the libraries with odd names and deep folders.
    ~LibraryRepairTest() override { std::ignore = removeTree(sandbox.path()); }

    RepairOutcome repair(const QString &shell = shellPath())
    {
        LibraryRepair run({alerts, apps, workspace}, SqliteShell(shell), library);
        if (shellTimeLimit.count() > 0)
            run.setShellTimeLimit(shellTimeLimit);
        std::atomic<bool> cancel{false};
        run.setCancelFlag(&cancel);
        run.setProgress([this, &cancel](RepairStage stage, double fraction) {
            stages.append(stage);
            fractions.append(fraction);
            if (cancelAt == stage)
                cancel = true;
        });
        run.setBackupChosen([this](const QString &path) { backup = path; });
        return run.fixLibrary();
    }
    [[nodiscard]] QString db() const { return library + u"/Library.sqlite"_qs; }
    // Runs a repair that must leave the library as it was, with nothing
    // beside it, and end with `message` (its informative text with `says`).
    void expectUntouched(RepairOutcome outcome, const QString &message,
                         const QString &shell = shellPath(), const QString &says = {})
    {
        const auto before = snapshot(library);
        EXPECT_EQ(repair(shell), outcome);
        EXPECT_EQ(alerts.messages().last(), message);
        EXPECT_TRUE(alerts.shown.last().informativeText.contains(says));
        EXPECT_EQ(snapshot(library), before);
        EXPECT_EQ(entries(documents), QStringList{u"Main.quillbox"_qs});
    }

    // A wrapper around the real shell that runs `beforeDump` (shell commands,
    // in the library) before the run that writes the dump, and passes the
    // dump's text through `dumpFilter` on its way out; the runs that count
    // the rows meanwhile are passed through.
    QString shellWrapper(const QString &beforeDump, const QString &dumpFilter = u"cat"_qs)
    {
        const QString wrapper = sandbox.path() + u"/sqlite3"_qs;
        writeFile(
            wrapper,
            QStringLiteral("#!/bin/sh\ninput=$(mktemp)\ncat > \"$input\"\n"
                           "if grep -q '^\\.dump' \"$input\"; then\n"
                           "  { %2; }\n"
                           "  { \"%1\" \"$@\" < \"$input\"; echo $? > \"$input.rc\"; } | { %3; }\n"
                           "  rc=$(cat \"$input.rc\"); rm -f \"$input.rc\"\n"
                           // The other runs become the shell itself, which a
                           // stop then reaches.
                           "else { rm -f \"$input\"; exec \"%1\" \"$@\"; } < \"$input\"; fi\n"
                           "rm -f \"$input\"\nexit $rc\n")
                .arg(test::shellPath(), beforeDump, dumpFilter)
                .toUtf8());
        QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return wrapper;
    }

    QTemporaryDir sandbox;
    QString documents = sandbox.path() + u"/Documents"_qs;
    QString library = documents + u"/Main.quillbox"_qs;
    ScriptedAlerts alerts;
    FakeCompanionApps apps;
    RecordingWorkspace workspace;
    QList<RepairStage> stages;
    QList<double> fractions;
    QString backup;
    std::chrono::milliseconds shellTimeLimit{0};
    std::optional<RepairStage> cancelAt; // the stage whose start cancels the repair
};

} // namespace quillbox::test
