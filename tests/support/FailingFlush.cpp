// Preloaded into the terminal program (LD_PRELOAD), this makes fsync() fail
// with EIO, as a disk that cannot write would, for every file or folder whose
// path ends in the text of QUILLBOX_FAIL_FLUSH; every other call goes on to
// the C library. The program's children run without it.
#include <dlfcn.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

const char *const kSuffix = std::getenv("QUILLBOX_FAIL_FLUSH");

__attribute__((constructor)) void keepToThisProcess()
{
    ::unsetenv("LD_PRELOAD");
}

bool fails(int fd)
{
    const std::string suffix = kSuffix != nullptr ? kSuffix : "";
    std::array<char, 4096> path{};
    const ssize_t size =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path.data(), path.size() - 1);
    return !suffix.empty() && size > 0 && std::string(path.data()).ends_with(suffix);
}

} // namespace

extern "C" int fsync(int fd)
{
    if (fails(fd)) {
        errno = EIO;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}
