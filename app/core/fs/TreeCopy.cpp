// copyTree(): a folder copied as `cp -a` copies it.
#include "app/core/fs/FileTree.h"

#include "app/core/fs/ExtendedAttributes.h"
#include "app/core/fs/PosixFiles.h"
#include "app/core/fs/WriteAll.h"

#include <QFile>
#include <QScopeGuard>

#include <array>
#include <linux/fs.h>
#include <map>
#include <sys/ioctl.h>
#include <utility>
#include <vector>

namespace quillbox
{
namespace
{

using posix::describe;
using posix::Fd;

constexpr size_t kChunk = size_t{8} << 20;

// Gives the open copy `fd` the permission bits of `st`. A file system that
// has none (exFAT, NTFS through FUSE) may refuse: that is no failure, since
// there is nothing there to keep. False for any other refusal.
bool keepMode(int fd, const struct stat &st)
{
    return ::fchmod(fd, st.st_mode & 07777) == 0 || errno == EPERM || errno == ENOTSUP ||
           errno == EOPNOTSUPP;
}

struct Copier {
    CopyProgress progress;
    QByteArray sourceRoot;
    QByteArray destinationRoot;
    qint64 copied = 0;
    // Where the first name of each file with several names was copied to, so
    // its other names within the tree become names of the same copy.
    std::map<std::pair<dev_t, ino_t>, QByteArray> firstNames = {};
    // "path: attribute" for each extended attribute that could not be kept.
    QStringList dropped = {};

    // Copies every extended attribute of `from` to `to`; what cannot be
    // kept is noted.
    void copyAttributes(const AttributeNode &from, const AttributeNode &to, const QByteArray &shown)
    {
        for (const QByteArray &name : copyExtendedAttributes(from, to))
            dropped.append(QFile::decodeName(shown) + u": "_qs + QString::fromUtf8(name));
    }

    // Where the entry `shown` of the source lands in the copy.
    [[nodiscard]] QByteArray destinationOf(const QByteArray &shown) const
    {
        return destinationRoot + shown.mid(sourceRoot.size());
    }

    std::optional<QString> copyFileContents(int in, int out, const QByteArray &source)
    {
        // Where the file system shares blocks between files (btrfs, xfs), the
        // copy takes none of its own.
        struct stat st {
        };
        if (::ioctl(out, FICLONE, in) == 0 && ::fstat(out, &st) == 0) {
            copied += st.st_size;
            if (progress && !progress(copied))
                return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), source,
                                ECANCELED);
            return std::nullopt;
        }
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
                if (n > 0) {
                    if (const int error = writeAll(out, buffer.data(), n).error)
                        return describe(
                            QT_TRANSLATE_NOOP("FileTree", "Could not write a copy of “%1”: %2"),
                            source, error);
                }
            }
            if (n < 0)
                return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), source,
                                errno);
            if (n == 0)
                return std::nullopt;
            copied += n;
            if (progress && !progress(copied))
                return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), source,
                                ECANCELED);
        }
    }

    // Every step below works relative to an open folder, so the depth of a
    // tree is never limited by the length of its paths. `shown` is the path
    // used in messages only.
    std::optional<QString> copyFile(int fromDir, int toDir, const char *name,
                                    const QByteArray &shown, const struct stat &st)
    {
        // Not blocking: were the file swapped for a FIFO since it was looked
        // at, opening it would wait for a writer forever. What was opened
        // must be the file that was looked at.
        const Fd in(::openat(fromDir, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (in.get() < 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), shown, errno);
        struct stat opened {
        };
        if (::fstat(in.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            opened.st_ino != st.st_ino || opened.st_dev != st.st_dev)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), shown,
                            ENOTSUP);
        // A second name of a file already copied becomes a second name of its
        // copy; where that fails (a path too long for the call), it is copied.
        const auto key = std::pair{st.st_dev, st.st_ino};
        if (const auto first = firstNames.find(key);
            first != firstNames.end() &&
            ::linkat(AT_FDCWD, first->second.constData(), toDir, name, 0) == 0)
            return std::nullopt;
        const Fd out(
            ::openat(toDir, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (out.get() < 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create a copy of “%1”: %2"),
                            shown, errno);
        if (auto error = copyFileContents(in.get(), out.get(), shown))
            return error;
        if (!keepMode(out.get(), st))
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), shown,
                errno);
        copyAttributes(AttributeNode(in.get()), AttributeNode(out.get()), shown);
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        if (::futimens(out.get(), times.data()) != 0)
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), shown,
                errno);
        if (st.st_nlink > 1)
            firstNames.emplace(key, destinationOf(shown));
        return std::nullopt;
    }

    std::optional<QString> copyLink(int fromDir, int toDir, const char *name,
                                    const QByteArray &shown, const struct stat &st)
    {
        QByteArray target(static_cast<qsizetype>(st.st_size) + 1, '\0');
        const ssize_t n =
            ::readlinkat(fromDir, name, target.data(), static_cast<size_t>(target.size()));
        if (n < 0 || n >= target.size())
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read the link “%1”: %2"),
                            shown, n < 0 ? errno : ENAMETOOLONG);
        target.truncate(n);
        if (::symlinkat(target.constData(), toDir, name) != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create a copy of “%1”: %2"),
                            shown, errno);
        copyAttributes(AttributeNode(fromDir, name), AttributeNode(toDir, name), shown);
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        ::utimensat(toDir, name, times.data(), AT_SYMLINK_NOFOLLOW);
        return std::nullopt;
    }

    // Makes the new folder `name` in `toDir`, for now readable and writable
    // by its owner alone, and opens it.
    std::optional<QString> makeFolder(int toDir, const char *name, const QByteArray &shown, int &to)
    {
        if (::mkdirat(toDir, name, 0700) != 0 ||
            (to = ::openat(toDir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) < 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not create a copy of “%1”: %2"),
                            shown, errno);
        return std::nullopt;
    }

    // The names of the entries of the open folder `from`, in `names`.
    static std::optional<QString> listFolder(int from, const QByteArray &shown,
                                             std::vector<QByteArray> &names)
    {
        // The stream takes its own descriptor, closed with it; one it did
        // not take is closed here.
        const int copy = ::dup(from);
        DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
        if (dir == nullptr) {
            const int error = errno;
            if (copy >= 0)
                ::close(copy);
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), shown, error);
        }
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray child(entry->d_name);
            if (child != "." && child != "..")
                names.push_back(child);
            errno = 0;
        }
        const int error = errno;
        ::closedir(dir);
        if (error != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), shown, error);
        return std::nullopt;
    }

    // Gives the copy `to` of the open folder `from` the permissions,
    // extended attributes and times of `st`, once its entries are in.
    std::optional<QString> finishFolder(int from, int to, const QByteArray &shown,
                                        const struct stat &st)
    {
        // After the folder's entries: a default ACL set first would be
        // passed on to entries that had none.
        const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
        if (!keepMode(to, st))
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), shown,
                errno);
        copyAttributes(AttributeNode(from), AttributeNode(to), shown);
        if (::futimens(to, times.data()) != 0)
            return describe(
                QT_TRANSLATE_NOOP("FileTree", "Could not set the attributes of “%1”: %2"), shown,
                errno);
        return std::nullopt;
    }

    // Copies the open folder `from` into a new folder `name` in `toDir`.
    std::optional<QString> copyFolder(int from, int toDir, const char *name,
                                      const QByteArray &shown, const struct stat &st)
    {
        int made = -1;
        std::optional<QString> error = makeFolder(toDir, name, shown, made);
        const Fd to(made);
        std::vector<QByteArray> names;
        if (!error)
            error = listFolder(from, shown, names);
        for (const QByteArray &child : names) {
            if (error)
                break;
            error = copyEntry(from, to.get(), child.constData(), shown + '/' + child);
        }
        return error ? error : finishFolder(from, to.get(), shown, st);
    }

    std::optional<QString> copyEntry(int fromDir, int toDir, const char *name,
                                     const QByteArray &shown)
    {
        struct stat st {
        };
        if (::fstatat(fromDir, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), shown, errno);
        if (S_ISREG(st.st_mode))
            return copyFile(fromDir, toDir, name, shown, st);
        if (S_ISLNK(st.st_mode))
            return copyLink(fromDir, toDir, name, shown, st);
        if (S_ISDIR(st.st_mode)) {
            const Fd sub(::openat(fromDir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.get() < 0)
                return describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), shown,
                                errno);
            return copyFolder(sub.get(), toDir, name, shown, st);
        }
        return describe(QT_TRANSLATE_NOOP("FileTree", "Could not copy “%1”: %2"), shown, ENOTSUP);
    }
};

} // namespace

struct FolderCopy::State {
    State(Copier copier, int from, int to, const struct stat &st)
        : copier(std::move(copier)), from(from), to(to), st(st)
    {
    }
    Copier copier;
    Fd from;
    Fd to;
    struct stat st;
    // The folder's entries when the copy began, and whether each is copied.
    std::vector<std::pair<QByteArray, bool>> entries = {};

    // Copies one of `entries`, unless it is already copied.
    Expected<> copy(std::pair<QByteArray, bool> &entry)
    {
        if (entry.second)
            return {};
        entry.second = true;
        if (auto error = copier.copyEntry(from.get(), to.get(), entry.first.constData(),
                                          copier.sourceRoot + '/' + entry.first))
            return Unexpected{*error};
        return {};
    }
};

FolderCopy::FolderCopy(std::unique_ptr<State> state) : state_(std::move(state)) {}
FolderCopy::FolderCopy(FolderCopy &&) noexcept = default;
FolderCopy &FolderCopy::operator=(FolderCopy &&) noexcept = default;
FolderCopy::~FolderCopy() = default;

Expected<FolderCopy> FolderCopy::begin(const QString &source, const QString &destination,
                                       CopyProgress progress)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    const Fd in(::open(from.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {
    };
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0)
        return Unexpected{
            describe(QT_TRANSLATE_NOOP("FileTree", "Could not read “%1”: %2"), from, errno)};
    const qsizetype slash = to.lastIndexOf('/');
    const Fd parent(
        ::open(slash <= 0 ? "/" : to.left(slash).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0)
        return Unexpected{describe(
            QT_TRANSLATE_NOOP("FileTree", "Could not create a copy of “%1”: %2"), from, errno)};
    Copier copier{std::move(progress), from, to};
    int made = -1;
    if (auto error = copier.makeFolder(parent.get(), to.mid(slash + 1).constData(), from, made))
        return Unexpected{*error};
    auto state = std::make_unique<State>(std::move(copier), ::dup(in.get()), made, st);
    std::vector<QByteArray> names;
    if (auto error = Copier::listFolder(state->from.get(), from, names))
        return Unexpected{*error};
    for (QByteArray &name : names)
        state->entries.emplace_back(std::move(name), false);
    return FolderCopy(std::move(state));
}

Expected<> FolderCopy::copyNow(const QString &name)
{
    const QByteArray wanted = QFile::encodeName(name);
    for (auto &entry : state_->entries) {
        if (entry.first == wanted)
            return state_->copy(entry);
    }
    return {};
}

Expected<> FolderCopy::finish()
{
    for (auto &entry : state_->entries) {
        if (Expected<> copied = state_->copy(entry); !copied)
            return copied;
    }
    Copier &copier = state_->copier;
    if (auto error = copier.finishFolder(state_->from.get(), state_->to.get(), copier.sourceRoot,
                                         state_->st))
        return Unexpected{*error};
    return {};
}

QStringList FolderCopy::dropped() const
{
    return state_->copier.dropped;
}

Expected<> copyTree(const QString &source, const QString &destination, const CopyProgress &progress,
                    QStringList *dropped)
{
    Expected<FolderCopy> copy = FolderCopy::begin(source, destination, progress);
    Expected<> done = copy ? copy->finish() : Unexpected{copy.error()};
    if (dropped != nullptr)
        *dropped = copy ? copy->dropped() : QStringList();
    return done;
}

} // namespace quillbox
