// Preloaded into the terminal program (LD_PRELOAD), this makes fsync() fail
// with EIO, as a disk that cannot write would, for every file or folder whose
// path ends in the text of QUILLBOX_FAIL_FLUSH, and flock() fail with ENOLCK,
// as a file system without locks would, for those whose path ends in the
// text of QUILLBOX_FAIL_LOCK; every other call goes on to the C library. The
// program's children run without it.
#include <dlfcn.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

const char *const kFlushSuffix = std::getenv("QUILLBOX_FAIL_FLUSH");
const char *const kLockSuffix = std::getenv("QUILLBOX_FAIL_LOCK");

__attribute__((constructor)) void keepToThisProcess()
{
    ::unsetenv("LD_PRELOAD");
}

bool fails(int fd, const char *ending)
{
    const std::string suffix = ending != nullptr ? ending : "";
    std::array<char, 4096> path{};
    const ssize_t size =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path.data(), path.size() - 1);
    return !suffix.empty() && size > 0 && std::string(path.data()).ends_with(suffix);
}

} // namespace

extern "C" int fsync(int fd)
{
    if (fails(fd, kFlushSuffix)) {
        errno = EIO;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

extern "C" int flock(int fd, int operation)
{
    if (fails(fd, kLockSuffix)) {
        errno = ENOLCK;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int, int)>(::dlsym(RTLD_NEXT, "flock"));
    return real(fd, operation);
}
