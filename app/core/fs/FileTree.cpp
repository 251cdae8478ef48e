#include "app/core/fs/FileTree.h"

#include "app/core/fs/PosixFiles.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillbox
{
namespace
{

using posix::describe;
using posix::Fd;
using posix::openFolder;
using posix::syncFolderBytes;
using posix::walkBelow;

} // namespace

qint64 treeSize(const QString &path)
{
    const Fd dir = openFolder(QFile::encodeName(path));
    qint64 total = 0;
    if (dir.get() >= 0) {
        walkBelow(dir.get(), [&](int, const char *, const struct stat &st) {
            if (S_ISREG(st.st_mode))
                total += st.st_size;
            return true;
        });
    }
    return total;
}

std::optional<TreeSummary> summarizeTree(const QString &path)
{
    const Fd dir = openFolder(QFile::encodeName(path));
    if (dir.get() < 0)
        return std::nullopt;
    TreeSummary summary;
    const bool complete = walkBelow(dir.get(), [&](int, const char *, const struct stat &st) {
        ++summary.entries;
        if (S_ISREG(st.st_mode))
            summary.bytes += st.st_size;
        return true;
    });
    if (!complete)
        return std::nullopt;
    return summary;
}

Expected<> removeTree(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    const auto failed = [&bytes](int error) {
        return Unexpected{
            describe(QT_TRANSLATE_NOOP("FileTree", "Could not remove “%1”: %2"), bytes, error)};
    };
    struct stat st {
    };
    if (::lstat(bytes.constData(), &st) != 0)
        return errno == ENOENT ? Expected<>() : failed(errno);
    if (!S_ISDIR(st.st_mode))
        return ::unlink(bytes.constData()) == 0 || errno == ENOENT ? Expected<>() : failed(errno);
    int error = 0;
    if (const Fd dir = openFolder(bytes); dir.get() < 0) {
        error = errno;
    } else {
        const bool all =
            walkBelow(dir.get(), [&error](int parent, const char *name, const struct stat &entry) {
                const bool removed =
                    ::unlinkat(parent, name, S_ISDIR(entry.st_mode) ? AT_REMOVEDIR : 0) == 0;
                if (!removed && error == 0)
                    error = errno;
                return removed;
            });
        // A folder below that could not be opened or read.
        if (!all && error == 0)
            error = EACCES;
    }
    if (::rmdir(bytes.constData()) != 0 && error == 0)
        error = errno;
    return error == 0 ? Expected<>() : failed(error);
}

Expected<> renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray fromBytes = QFile::encodeName(from);
    const QByteArray toBytes = QFile::encodeName(to);
    const auto failed = [&fromBytes](int error) {
        return Unexpected{
            describe(QT_TRANSLATE_NOOP("FileTree", "Could not move “%1”: %2"), fromBytes, error)};
    };
    if (::renameat2(AT_FDCWD, fromBytes.constData(), AT_FDCWD, toBytes.constData(),
                    RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return failed(errno);
    // exFAT and NTFS drives (FUSE), network folders and many other file
    // systems cannot refuse to replace. A file gets a second name, which
    // fails when the name is taken, and loses its first; where links are
    // not supported either, and for a folder, the name is checked to be free
    // first. The repair holds its locks meanwhile, so no other repair takes
    // the name between the check and the rename.
    struct stat st {
    };
    if (::lstat(fromBytes.constData(), &st) != 0)
        return failed(errno);
    int error = 0;
    if (!S_ISDIR(st.st_mode)) {
        if (::link(fromBytes.constData(), toBytes.constData()) == 0) {
            if (::unlink(fromBytes.constData()) == 0)
                return {};
            error = errno;
            ::unlink(toBytes.constData());
            return failed(error);
        }
        error = errno == EEXIST ? EEXIST : 0;
    }
    if (error == 0 && ::lstat(toBytes.constData(), &st) == 0)
        error = EEXIST;
    else if (error == 0 && errno != ENOENT)
        error = errno;
    if (error == 0 && ::rename(fromBytes.constData(), toBytes.constData()) != 0)
        error = errno;
    if (error != 0)
        return failed(error);
    return {};
}

namespace
{

Expected<> notFlushed(const QByteArray &path, int error)
{
    return Unexpected{
        describe(QT_TRANSLATE_NOOP("FileTree", "Could not write “%1” to the disk in full: %2"),
                 path, error)};
}

} // namespace

Expected<> syncTree(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    const Fd dir = openFolder(bytes);
    if (dir.get() < 0)
        return notFlushed(bytes, errno);
    int error = 0;
    const bool all =
        walkBelow(dir.get(), [&error](int parent, const char *name, const struct stat &st) {
            if (S_ISLNK(st.st_mode))
                return true;
            const Fd item(::openat(parent, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            const bool flushed = item.get() >= 0 && ::fsync(item.get()) == 0;
            if (!flushed && error == 0)
                error = errno;
            return flushed;
        });
    // A folder below that could not be opened or read.
    if (!all && error == 0)
        error = EACCES;
    if (::fsync(dir.get()) != 0 && error == 0)
        error = errno;
    return error == 0 ? Expected<>() : notFlushed(bytes, error);
}

Expected<> syncFolder(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return syncFolderBytes(bytes) ? Expected<>() : notFlushed(bytes, errno);
}

Expected<> syncFile(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    const Fd file(::open(bytes.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0 || ::fsync(file.get()) != 0)
        return notFlushed(bytes, errno);
    return {};
}

void startWriteback(const QString &path)
{
    const Fd file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() >= 0)
        ::sync_file_range(file.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

} // namespace quillbox
