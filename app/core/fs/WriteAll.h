#pragma once

#include <QtGlobal>

namespace quillbox
{

// How a writeAll() ended.
struct WriteResult {
    qint64 written = 0; // bytes that reached the file
    int error = 0;      // errno of the write that failed; 0 when all were written
};

// Writes all `size` bytes at `data` to the open file `fd`, going on after a
// short write or a signal. An empty write writes nothing and succeeds.
[[nodiscard]] WriteResult writeAll(int fd, const char *data, qint64 size);

} // namespace quillbox
