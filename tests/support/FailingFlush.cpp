// Preloaded into the terminal program (LD_PRELOAD), this makes fsync() fail
// with EIO, as a disk that cannot write would, for every file or folder whose
// path ends in the text of QUILLBOX_FAIL_FLUSH, and flock() fail with ENOLCK,
// as a file system without locks would, for those whose path ends in the
// text of QUILLBOX_FAIL_LOCK. QUILLBOX_RENAME_FAULT, "WHAT N ENDING", picks
// the N-th renameat2() or rename() whose new path ends in ENDING: WHAT
// "kill" kills the program just before it, "killAfter" just after it, as a
// crash or a power cut would, and "fail" makes it fail with EIO. Files whose path ends in the
// text of QUILLBOX_FAIL_WRITE take no splice() (EINVAL, as on a file system
// without it) and no write() (EIO). Each copy_file_range() first waits
// QUILLBOX_SLOW_COPY milliseconds, as on a slow disk. Every other call goes
// on to the C library. The program's children run without it.
#include <dlfcn.h>
#include <fcntl.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{

const char *const kFlushSuffix = std::getenv("QUILLBOX_FAIL_FLUSH");
const char *const kLockSuffix = std::getenv("QUILLBOX_FAIL_LOCK");
const char *const kWriteSuffix = std::getenv("QUILLBOX_FAIL_WRITE");
const char *const kSlowCopy = std::getenv("QUILLBOX_SLOW_COPY");

struct RenameFault {
    std::string what;
    int n = 0;
    std::string ending;
};

RenameFault renameFault()
{
    RenameFault fault;
    const char *text = std::getenv("QUILLBOX_RENAME_FAULT");
    std::istringstream in(text != nullptr ? text : "");
    in >> fault.what >> fault.n >> std::ws;
    std::getline(in, fault.ending);
    return fault;
}

__attribute__((constructor)) void keepToThisProcess()
{
    ::unsetenv("LD_PRELOAD");
}

bool fails(int fd, const char *ending)
{
    if (ending == nullptr || *ending == '\0')
        return false;
    std::array<char, 4096> path{};
    const ssize_t size =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path.data(), path.size() - 1);
    return size > 0 && std::string(path.data()).ends_with(ending);
}

// The C library's own `name`, of type F.
template<typename F> F *next(const char *name)
{
    return reinterpret_cast<F *>(::dlsym(RTLD_NEXT, name));
}

// Fails a call with `error`.
int refuse(int error)
{
    errno = error;
    return -1;
}

} // namespace

extern "C" int fsync(int fd)
{
    static auto *const real = next<int(int)>("fsync");
    return fails(fd, kFlushSuffix) ? refuse(EIO) : real(fd);
}

extern "C" int flock(int fd, int operation)
{
    static auto *const real = next<int(int, int)>("flock");
    return fails(fd, kLockSuffix) ? refuse(ENOLCK) : real(fd, operation);
}

// Runs the rename `real` of `newPath`, with the fault QUILLBOX_RENAME_FAULT
// picks for it, if any.
template<typename Rename> int renameWithFault(const char *newPath, Rename real)
{
    static const RenameFault fault = renameFault();
    static std::atomic<int> seen{0};
    const bool chosen =
        !fault.ending.empty() && std::string(newPath).ends_with(fault.ending) && ++seen == fault.n;
    if (chosen && fault.what == "fail")
        return refuse(EIO);
    if (chosen && fault.what == "kill")
        ::raise(SIGKILL);
    const int result = real();
    if (chosen && fault.what == "killAfter")
        ::raise(SIGKILL);
    return result;
}

extern "C" int renameat2(int oldDir, const char *oldPath, int newDir, const char *newPath,
                         unsigned int flags)
{
    static auto *const real =
        next<int(int, const char *, int, const char *, unsigned)>("renameat2");
    return renameWithFault(newPath, [&] { return real(oldDir, oldPath, newDir, newPath, flags); });
}

extern "C" int rename(const char *oldPath, const char *newPath)
{
    static auto *const real = next<int(const char *, const char *)>("rename");
    return renameWithFault(newPath, [&] { return real(oldPath, newPath); });
}

extern "C" ssize_t splice(int in, loff_t *inOffset, int out, loff_t *outOffset, size_t size,
                          unsigned int flags)
{
    static auto *const real =
        next<ssize_t(int, loff_t *, int, loff_t *, size_t, unsigned)>("splice");
    return fails(out, kWriteSuffix) ? refuse(EINVAL)
                                    : real(in, inOffset, out, outOffset, size, flags);
}

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static auto *const real = next<ssize_t(int, const void *, size_t)>("write");
    return fails(fd, kWriteSuffix) ? refuse(EIO) : real(fd, data, size);
}

extern "C" ssize_t copy_file_range(int in, loff_t *inOffset, int out, loff_t *outOffset,
                                   size_t size, unsigned int flags)
{
    static auto *const real =
        next<ssize_t(int, loff_t *, int, loff_t *, size_t, unsigned)>("copy_file_range");
    if (kSlowCopy != nullptr)
        ::usleep(static_cast<useconds_t>(std::atoi(kSlowCopy)) * 1000);
    return real(in, inOffset, out, outOffset, size, flags);
}
