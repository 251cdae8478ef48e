#include "tests/support/Libraries.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <sys/stat.h>
#include <sys/xattr.h>
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

namespace
{

// The bytes that `call` (readlink, lgetxattr) puts into a buffer of 64 KiB.
template<typename Call> QByteArray readInto(Call call)
{
    QByteArray buffer(1 << 16, '\0');
    buffer.truncate(std::max<ssize_t>(call(buffer.data(), buffer.size()), 0));
    return buffer;
}

// The extended attributes (ACLs too) of `path`, by name.
QByteArray attributesOf(const QByteArray &path)
{
    QByteArrayList names = readInto([&](char *to, size_t size) {
                               return ::llistxattr(path.constData(), to, size);
                           }).split('\0');
    std::sort(names.begin(), names.end());
    QByteArray described;
    for (const QByteArray &name : names) {
        if (!name.isEmpty())
            described += ' ' + name + '=' +
                         readInto([&](char *to, size_t size) {
                             return ::lgetxattr(path.constData(), name.constData(), to, size);
                         }).toHex();
    }
    return described;
}

} // namespace

QMap<QString, QByteArray> snapshot(const QString &folder, Times times)
{
    QMap<QString, QByteArray> items;
    std::map<std::pair<dev_t, ino_t>, QStringList> names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    // The folder itself first, as ".", without its modification time: the
    // files a repair makes and removes inside it change that.
    for (QString path = folder; !path.isEmpty(); path = it.hasNext() ? it.next() : QString()) {
        const QString name = path == folder ? u"."_qs : QDir(folder).relativeFilePath(path);
        const QByteArray bytes = QFile::encodeName(path);
        struct stat st {
        };
        if (path.endsWith(u"-shm") || ::lstat(bytes.constData(), &st) != 0)
            continue;
        QByteArray item = QByteArray::number(st.st_mode, 8);
        if (name != u"." && times == Times::Kept)
            item += ' ' + QByteArray::number(st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec);
        if (S_ISLNK(st.st_mode)) {
            // The link's own text: a relative target stays relative.
            item += " link " + readInto([&](char *to, size_t size) {
                        return ::readlink(bytes.constData(), to, size);
                    });
        } else if (S_ISREG(st.st_mode)) {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            item += " file " + file.readAll();
            names[{st.st_dev, st.st_ino}].append(name);
        }
        items.insert(name, item + attributesOf(bytes));
    }
    for (auto &[file, shared] : names) {
        shared.sort();
        for (const QString &name : shared.size() > 1 ? shared : QStringList())
            items[name] += " names " + shared.join(u',').toUtf8();
    }
    return items;
}

QMap<QString, QByteArray> besideTheDatabase(const QString &library)
{
    auto items = snapshot(library);
    items.remove(u"Library.sqlite"_qs);
    items.remove(u"Library.sqlite-wal"_qs);
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
