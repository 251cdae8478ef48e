#include "app/core/fs/WriteAll.h"

#include <cerrno>
#include <unistd.h>

namespace quillbox
{

WriteResult writeAll(int fd, const char *data, qint64 size)
{
    WriteResult result;
    while (result.written < size) {
        const ssize_t step =
            ::write(fd, data + result.written, static_cast<size_t>(size - result.written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0) {
            result.error = errno;
            break;
        }
        result.written += step;
    }
    return result;
}

} // namespace quillbox
