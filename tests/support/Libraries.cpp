#include "tests/support/Libraries.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillbox::test
{

QString shellPath()
{
    return QCoreApplication::applicationDirPath() + u"/../libexec/quillbox-repair/sqlite3"_qs;
}

QString runSql(const QString &database, const QString &sql, ShellFailure failure,
               const QString &program)
{
    QProcess shell;
    shell.start(program, {u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs, database});
    shell.write(sql.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    EXPECT_TRUE(failure == ShellFailure::Allowed || shell.exitCode() == 0)
        << shell.readAllStandardError().constData();
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString makeSampleLibrary(const QString &sandbox, int rows)
{
    EXPECT_EQ(QProcess::execute(u"env"_qs, {u"SQLITE3="_qs + shellPath(), u"bash"_qs,
                                            QStringLiteral(QUILLBOX_SOURCE_DIR) +
                                                u"/scripts/make-sample-library.sh"_qs,
                                            sandbox, QString::number(rows)}),
              0);
    return sandbox + u"/home/Documents/Main.quillbox"_qs;
}

void makePlainLibrary(const QString &folder, int rows)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    runSql(folder + u"/Library.sqlite"_qs, uR"(PRAGMA page_size=4096;
CREATE TABLE notes(id INTEGER PRIMARY KEY, title TEXT, body TEXT);
CREATE INDEX notes_by_title ON notes(title);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)
  INSERT INTO notes SELECT i, 'Note ' || i, printf('%.300c', 'x') FROM n;
)"_qs.arg(rows));
}

void corruptPage(const QString &database, int page, int pageSize)
{
    QFile file(database);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(static_cast<qint64>(page - 1) * pageSize));
    QByteArray garbage(pageSize, '\0');
    for (int i = 0; i < pageSize; ++i)
        garbage[i] = static_cast<char>((i * 131 + 17) % 251);
    file.write(garbage);
}

void corruptNotesPage(const QString &database, int offset)
{
    corruptPage(
        database,
        runSql(database, u"SELECT rootpage FROM sqlite_schema WHERE name = 'notes';"_qs).toInt() +
            offset);
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> items;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(u"-shm"))
            continue;
        const QFileInfo info(path);
        QByteArray description = QByteArray::number(static_cast<int>(info.permissions())) + ' ';
        if (info.isSymLink()) {
            // The link's own text: a relative target stays relative.
            QByteArray target(4096, '\0');
            const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target.data(),
                                         static_cast<size_t>(target.size()));
            description += "link " + target.left(std::max<ssize_t>(n, 0));
        } else if (info.isDir()) {
            description += "folder";
        } else if (!info.isFile()) {
            description += "special";
        } else {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            description += "file " + file.readAll();
        }
        items.insert(QDir(folder).relativeFilePath(path), description);
    }
    return items;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::unique_ptr<QProcess> startProgram(const QString &program, const QStringList &arguments,
                                       const QStringList &environment)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &setting : environment) {
        const QString name = setting.section(u'=', 0, 0);
        const QString value = setting.section(u'=', 1);
        value.isEmpty() ? env.remove(name) : env.insert(name, value);
    }
    process->setProcessEnvironment(env);
    process->setStandardInputFile(QProcess::nullDevice());
    // A process group of its own, beside the test's: a program the test
    // stops (SIGSTOP) is then never sent SIGHUP by the kernel, as the
    // members of an orphaned process group with a stopped member are when
    // one of them exits.
    process->setChildProcessModifier([] { ::setpgid(0, 0); });
    process->start(QCoreApplication::applicationDirPath() + u'/' + program, arguments);
    process->waitForStarted();
    return process;
}

ProgramRun finish(QProcess &process)
{
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace quillbox::test
