#include "app/core/library/DatabaseLocks.h"

#include "app/core/library/LibraryFolder.h"

#include <QFile>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace quillbox
{
namespace
{

// Where SQLite's POSIX locks sit: on the database file, the pending and
// reserved bytes and the shared range after them (1 GiB in, past any page
// it reads); in the -shm file, the write-ahead log's lock bytes and the one
// every connection holds while it has the database open.
constexpr off_t kPendingByte = 0x40000000;
constexpr off_t kDatabaseLockBytes = 2 + 510;
constexpr off_t kShmLocksStart = 120;
constexpr off_t kShmLockBytes = 9;

// True when another process holds a lock that overlaps `length` bytes at
// `start` of the file at `path`.
bool lockedElsewhere(const QString &path, off_t start, off_t length)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct flock probe {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = start;
    probe.l_len = length;
    const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

} // namespace

bool isDatabaseInUse(const QString &folder, std::chrono::milliseconds patience)
{
    const auto held = [&] {
        return lockedElsewhere(inFolder(folder, kDatabaseName + u"-shm"_qs), kShmLocksStart,
                               kShmLockBytes) ||
               lockedElsewhere(inFolder(folder, kDatabaseName), kPendingByte, kDatabaseLockBytes);
    };
    constexpr std::chrono::milliseconds kStep{20};
    for (std::chrono::milliseconds waited{0}; waited < patience; waited += kStep) {
        if (!held())
            return false;
        std::this_thread::sleep_for(kStep);
    }
    return held();
}

} // namespace quillbox
