#include "app/core/SqliteShell.h"

#include "tests/support/Libraries.h"
#include "tests/support/QtPrinting.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillbox
{
namespace
{

// What our shell prints and says for `arguments`, with nothing on its input.
QString shellSays(const QStringList &arguments)
{
    QProcess shell;
    shell.start(test::shellPath(),
                QStringList{u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs} + arguments);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError());
}

// The shell the repair carries is the SQLite it should be, and has nothing a
// crafted library could start a program or load code with, safe mode or not.
TEST(SqliteShellTest, isSqlite3461WithoutProgramsOrLoadedCode)
{
    EXPECT_TRUE(shellSays({u"--version"_qs}).startsWith(u"3.46.1 "_qs));
    for (const QString &command : {u".shell true"_qs, u".system true"_qs})
        EXPECT_TRUE(shellSays({u":memory:"_qs, command}).contains(u"unknown command"_qs))
            << command.toStdString();
    for (const QString &function : {u"load_extension('x')"_qs, u"edit('x')"_qs})
        EXPECT_TRUE(
            shellSays({u":memory:"_qs, u"SELECT "_qs + function}).contains(u"no such function"_qs))
            << function.toStdString();
}

// A file given as input reaches the shell whole, between its head and tail,
// in safe mode, after the program's own setup; one that cannot be read is
// said so, not taken for the shell's failure.
TEST(SqliteShellTest, streamsAFileBetweenHeadAndTailInSafeMode)
{
    QTemporaryDir folder;
    const QString rows = folder.filePath(u"rows.sql"_qs);
    QByteArray text = "CREATE TABLE t(n);\n";
    for (int i = 0; i < 20000; ++i)
        text += "INSERT INTO t VALUES (" + QByteArray::number(i) + ");\n";
    test::writeFile(rows, text);
    const SqliteShell shell =
        SqliteShell(test::shellPath()).withSetup({".output /dev/null", ".output stdout"});
    EXPECT_EQ(shell.run(folder.path(), {"BEGIN;\n", rows, "COMMIT;\n"}).status, 0);
    EXPECT_EQ(test::runSql(folder.filePath(u"Library.sqlite"_qs), u"SELECT sum(n) FROM t;"_qs),
              u"199990000");

    const SqliteShell::Ending refused =
        shell.run(folder.path(), {".output " + folder.filePath(u"out"_qs).toUtf8() + "\n"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(u"out"_qs)));
    EXPECT_TRUE(refused.errors.contains("safe mode"));

    const SqliteShell::Ending unread =
        shell.run(folder.path(), {{}, folder.filePath(u"missing.sql"_qs)});
    EXPECT_EQ(unread.status, -1);
    EXPECT_EQ(unread.trouble, SqliteShell::Trouble::InputUnreadable);
}

} // namespace
} // namespace quillbox
