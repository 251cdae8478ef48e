#include "app/core/fs/FolderLock.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quillbox
{
namespace
{

int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

FolderLocks::FolderLocks(FolderLocks &&other) noexcept : fds_(std::move(other.fds_))
{
    other.fds_.clear();
}

FolderLocks &FolderLocks::operator=(FolderLocks &&other) noexcept
{
    if (this != &other) {
        release();
        fds_ = std::move(other.fds_);
        other.fds_.clear();
    }
    return *this;
}

FolderLocks::~FolderLocks()
{
    release();
}

FolderLocks::Result FolderLocks::lock(const QString &path)
{
    const int fd = openFolder(path);
    if (fd < 0)
        return Result::Failed;
    int error = 0;
    for (int tries = 0; tries < 15; ++tries) {
        error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
        if (error != EWOULDBLOCK)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        if (error == EWOULDBLOCK)
            return Result::Held;
        // Some network and FUSE file systems have no locks at all.
        const bool unsupported =
            error == ENOLCK || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS;
        return unsupported ? Result::Unsupported : Result::Failed;
    }
    // The folder may have been renamed between open() and flock(): the lock
    // counts only when it is still the folder at `path`.
    struct stat opened {
    };
    struct stat now {
    };
    if (::fstat(fd, &opened) != 0 || ::lstat(QFile::encodeName(path).constData(), &now) != 0 ||
        opened.st_dev != now.st_dev || opened.st_ino != now.st_ino) {
        ::close(fd);
        return Result::Held;
    }
    fds_.push_back(fd);
    return Result::Taken;
}

void FolderLocks::release()
{
    for (const int fd : fds_)
        ::close(fd);
    fds_.clear();
}

bool isFolderLocked(const QString &path)
{
    const int fd = openFolder(path);
    if (fd < 0)
        return false;
    // A shared lock is refused only while someone holds the exclusive one;
    // it is dropped again at once.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

} // namespace quillbox
