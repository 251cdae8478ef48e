// Preloaded into the terminal program (LD_PRELOAD), this makes fsync() fail
// with EIO, as a disk that cannot write would, for every file or folder whose
// path ends in the text of QUILLBOX_FAIL_FLUSH; every other call goes on to
// the C library. The program's children run without it.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{

const std::string &failingSuffix()
{
    static const std::string suffix = [] {
        const char *text = std::getenv("QUILLBOX_FAIL_FLUSH");
        return std::string(text != nullptr ? text : "");
    }();
    return suffix;
}

__attribute__((constructor)) void keepToThisProcess()
{
    failingSuffix();
    ::unsetenv("LD_PRELOAD");
}

bool fails(int fd)
{
    const std::string &suffix = failingSuffix();
    if (suffix.empty())
        return false;
    std::string path(4096, '\0');
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = ::readlink(link.c_str(), path.data(), path.size());
    if (size <= 0)
        return false;
    path.resize(static_cast<size_t>(size));
    return path.size() >= suffix.size() &&
           path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

extern "C" int fsync(int fd)
{
    if (fails(fd)) {
        errno = EIO;
        return -1;
    }
    using Fsync = int (*)(int);
    static const auto real = reinterpret_cast<Fsync>(::dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}
