#pragma once

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// What the file-system primitives share: descriptors that close themselves,
// a walk over a folder's entries, and a failure in the user's words.
namespace quillbox::posix
{

// "Could not … “path”: the system's words", translated in the context
// "FileTree"; `what` is marked with QT_TRANSLATE_NOOP("FileTree", …).
[[nodiscard]] QString describe(const char *what, const QByteArray &path, int error);

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

// The folder at `path`, opened for reading, not through a link.
[[nodiscard]] Fd openFolder(const QByteArray &path);

// Flushes a folder's entries to disk.
[[nodiscard]] bool syncFolderBytes(const QByteArray &path);

// Calls `visit(dirFd, name, stat)` for every entry below the open folder
// `dir`, children before their folder, links not followed. False when a
// folder could not be read or `visit` said so.
template<typename Visit> bool walkBelow(int dir, const Visit &visit)
{
    const int copy = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
    DIR *stream = copy < 0 ? nullptr : ::fdopendir(copy);
    if (stream == nullptr) {
        if (copy >= 0)
            ::close(copy);
        return false;
    }
    bool ok = true;
    // readdir() says end and failure alike with nullptr; only errno tells.
    errno = 0;
    for (const dirent *entry = ::readdir(stream); entry != nullptr;
         errno = 0, entry = ::readdir(stream)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat st {
        };
        if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            const Fd sub(::openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            ok = sub.get() >= 0 && walkBelow(sub.get(), visit) && ok;
        }
        ok = visit(dir, name, st) && ok;
    }
    ok = errno == 0 && ok;
    ::closedir(stream);
    return ok;
}

} // namespace quillbox::posix
