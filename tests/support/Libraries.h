#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>

#include <memory>

// Real SQLite libraries for the tests, made and inspected with the real
// sqlite3 shell that the utility carries, and the built programs run on them.
namespace quillbox::test
{

// The utility's own shell in the build tree.
[[nodiscard]] QString shellPath();

// 3000 notes over many pages, with an index on their titles, a small table
// of notebooks and the statistics: SQL for a library's database.
#define QUILLBOX_NOTES_SQL                                                                         \
    "PRAGMA page_size=4096;\n"                                                                     \
    "CREATE TABLE notes(id INTEGER PRIMARY KEY, title TEXT, body TEXT, score REAL);\n"             \
    "CREATE INDEX notes_by_title ON notes(title);\n"                                               \
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)\n"             \
    "  INSERT INTO notes SELECT i, 'Note ' || i, printf('%.200c', 'x'), i / 7.0 FROM n;\n"         \
    "CREATE TABLE notebooks(id INTEGER PRIMARY KEY, title TEXT);\n"                                \
    "INSERT INTO notebooks VALUES (1, 'Inbox'), (2, 'Work');\n"                                    \
    "ANALYZE;\n"

// Whether a shell that fails fails the current test.
enum class ShellFailure { FailsTest, Allowed };

// Runs `sql` in the shell (ours unless `shell` names another) on
// `database`; returns what it printed. Fails the current test when the shell
// fails, unless `failure` allows it.
QString runSql(const QString &database, const QString &sql,
               ShellFailure failure = ShellFailure::FailsTest, const QString &shell = shellPath());

// Writes `bytes` to the file at `path`, replacing what it held.
void writeFile(const QString &path, const QByteArray &bytes);

// Makes the damaged sample library (the project's own sample script) under
// `sandbox`; returns the library folder. Recent rows live only in its -wal
// file and one index page is garbage.
[[nodiscard]] QString makeSampleLibrary(const QString &sandbox, int rows = 300);

// Makes a library folder `folder` whose Library.sqlite holds `rows` notes
// spread over many pages (rollback journal, no -wal).
void makePlainLibrary(const QString &folder, int rows = 2000);

// Overwrites page `page` (counting from 1) of the database with garbage.
void corruptPage(const QString &database, int page, int pageSize = 4096);

// Overwrites the page `offset` pages past the root of the plain library's
// notes table with garbage: rows of that table become unreadable.
void corruptNotesPage(const QString &database, int offset);

// Every entry below `folder` with all that `cp -a` keeps of it but its
// access time (relative path -> type and mode, modification time, content,
// link target, extended attributes and ACLs, the other names of its file),
// and the folder itself as "." without its times, to compare a folder before
// and after. SQLite's shared-memory index, which every reader writes to and
// which holds no data, is left out.
// `times` Ignored leaves the modification times out, to compare the
// results of two runs.
enum class Times { Kept, Ignored };
[[nodiscard]] QMap<QString, QByteArray> snapshot(const QString &folder, Times times = Times::Kept);

// The snapshot of a library folder without its database and the database's
// log.
[[nodiscard]] QMap<QString, QByteArray> besideTheDatabase(const QString &library);

// The names in `folder`, hidden ones too.
[[nodiscard]] QStringList entries(const QString &folder);

// Starts the built program `program` with nothing on its standard input, in
// the test's environment changed by `environment` ("NAME=value" sets,
// "NAME=" removes).
[[nodiscard]] std::unique_ptr<QProcess> startProgram(const QString &program,
                                                     const QStringList &arguments,
                                                     const QStringList &environment = {});

struct ProgramRun {
    int status;
    QString out;
    QString err;
};

// Waits for a started program to end, two minutes at most.
ProgramRun finish(QProcess &process);

} // namespace quillbox::test
