#include "app/core/FileTree.h"

#include <QCoreApplication>
#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillbox
{
namespace
{

constexpr size_t kChunk = size_t{8} << 20;

QString describe(const char *what, const QByteArray &path, int error)
{
    return QCoreApplication::translate("FileTree", what)
        .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error)));
}

// Closes a descriptor when it goes out of scope.
class Fd
{
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    [[nodiscard]] int get() const { return fd_; }

  private:
    int fd_;
};

// Flushes a folder's entries to disk.
bool syncFolderBytes(const QByteArray &path)
{
    const Fd dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.get() >= 0 && ::fsync(dir.get()) == 0;
}

struct Copier {
    const CopyProgress &progress;
    qint64 copied = 0;

    std::optional<QString> copyFileContents(int in, int out, const QByteArray &source)
    {
        bool useCopyRange = true;
        std::array<char, 1 << 16> buffer{};
        for (;;) {
            ssize_t n = 0;
            if (useCopyRange) {
                n = copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
                if (n < 0 &&
                    (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                    useCopyRange = false;
                    continue;
                }
            } else {
                n = ::read(in, buffer.data(), buffer.size());
                for (ssize_t done = 0; n > 0 && done < n;) {
                    const ssize_t w =
                        ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
                    if (w < 0)
                        return describe(
                            QT_TRANSLATE_NOOP("FileTree", "Could not write a copy of “%1”: %2"),
                            source, errno);
                    done += w;
                }
            }
            if (n < 0)
                return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), source,
                                errno);
            if (n == 0)
                return std::nullopt;
            copied += n;
            if (progress)
                progress(copied);
        }
    }

    std::optional<QString> copyFile(const QByteArray &from, const QByteArray &to,
                                    const struct stat &st)
    {
        const Fd in(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (in.get() < 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno);
        const Fd out(
            ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (out.get() < 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create “%1”: %2"), to, errno);
        if (auto error = copyFileContents(in.get(), out.get(), from))
            return error;
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        if (::fchmod(out.get(), st.st_mode & 07777) != 0 ||
            ::futimens(out.get(), times.data()) != 0)
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), to,
                errno);
        return std::nullopt;
    }

    std::optional<QString> copyLink(const QByteArray &from, const QByteArray &to,
                                    const struct stat &st)
    {
        QByteArray target(static_cast<qsizetype>(st.st_size) + 1, '\0');
        const ssize_t n =
            ::readlink(from.constData(), target.data(), static_cast<size_t>(target.size()));
        if (n < 0 || n >= target.size())
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read the link “%1”: %2"), from,
                            n < 0 ? errno : ENAMETOOLONG);
        target.truncate(n);
        if (::symlink(target.constData(), to.constData()) != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create “%1”: %2"), to, errno);
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, to.constData(), times.data(), AT_SYMLINK_NOFOLLOW);
        return std::nullopt;
    }

    std::optional<QString> copyItem(const QByteArray &from, const QByteArray &to)
    {
        struct stat st {
        };
        if (::lstat(from.constData(), &st) != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno);
        if (S_ISREG(st.st_mode))
            return copyFile(from, to, st);
        if (S_ISLNK(st.st_mode))
            return copyLink(from, to, st);
        if (S_ISDIR(st.st_mode))
            return copyFolder(from, to, st);
        return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), from, ENOTSUP);
    }

    std::optional<QString> copyFolder(const QByteArray &from, const QByteArray &to,
                                      const struct stat &st)
    {
        if (::mkdir(to.constData(), 0700) != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create “%1”: %2"), to, errno);
        DIR *dir = ::opendir(from.constData());
        if (dir == nullptr)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno);
        std::optional<QString> error;
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            error = copyItem(from + '/' + name, to + '/' + name);
            if (error)
                break;
            errno = 0;
        }
        if (!error && errno != 0)
            error = describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno);
        ::closedir(dir);
        if (error)
            return error;
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        if (::chmod(to.constData(), st.st_mode & 07777) != 0 ||
            ::utimensat(AT_FDCWD, to.constData(), times.data(), 0) != 0)
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), to,
                errno);
        return std::nullopt;
    }
};

qint64 sizeBelow(const QByteArray &path)
{
    struct stat st {
    };
    if (::lstat(path.constData(), &st) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return st.st_size;
    if (!S_ISDIR(st.st_mode))
        return 0;
    qint64 total = 0;
    if (DIR *dir = ::opendir(path.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                total += sizeBelow(path + '/' + name);
        }
        ::closedir(dir);
    }
    return total;
}

// Flushes every file and folder below `path`, links not followed.
bool syncBelow(const QByteArray &path)
{
    struct stat st {
    };
    if (::lstat(path.constData(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode))
        return true;
    bool ok = true;
    if (S_ISDIR(st.st_mode)) {
        if (DIR *dir = ::opendir(path.constData())) {
            while (const dirent *entry = ::readdir(dir)) {
                const QByteArray name(entry->d_name);
                if (name != "." && name != "..")
                    ok = syncBelow(path + '/' + name) && ok;
            }
            ::closedir(dir);
        } else {
            ok = false;
        }
    }
    const Fd fd(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0 && ok;
}

bool removeBelow(const QByteArray &path)
{
    struct stat st {
    };
    if (::lstat(path.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.constData()) == 0 || errno == ENOENT;
    bool ok = true;
    if (DIR *dir = ::opendir(path.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                ok = removeBelow(path + '/' + name) && ok;
        }
        ::closedir(dir);
    }
    return ::rmdir(path.constData()) == 0 && ok;
}

} // namespace

std::optional<QString> copyTree(const QString &source, const QString &destination,
                                const CopyProgress &progress)
{
    Copier copier{progress};
    const QByteArray from = QFile::encodeName(source);
    struct stat st {
    };
    if (::stat(from.constData(), &st) != 0)
        return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno);
    if (!S_ISDIR(st.st_mode))
        return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), from, ENOTDIR);
    return copier.copyFolder(from, QFile::encodeName(destination), st);
}

qint64 treeSize(const QString &path)
{
    return sizeBelow(QFile::encodeName(path));
}

bool removeTree(const QString &path)
{
    return removeBelow(QFile::encodeName(path));
}

std::optional<QString> renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray fromBytes = QFile::encodeName(from);
    if (::renameat2(AT_FDCWD, fromBytes.constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                    RENAME_NOREPLACE) != 0)
        return describe(QT_TRANSLATE_NOOP("FileTree", "Could not move “%1”: %2"), fromBytes, errno);
    return std::nullopt;
}

bool syncTree(const QString &path)
{
    return syncBelow(QFile::encodeName(path));
}

bool syncFolder(const QString &path)
{
    return syncFolderBytes(QFile::encodeName(path));
}

bool itemExists(const QString &path)
{
    struct stat st {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

} // namespace quillbox
