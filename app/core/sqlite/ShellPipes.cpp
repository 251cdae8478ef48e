#include "app/core/sqlite/ShellPipes.h"

#include "app/core/fs/WriteAll.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <span>
#include <unistd.h>

namespace quillbox
{
namespace
{

// Moves at most `limit` bytes (all there are, when `limit` is 0) of what
// arrives on the pipe `from` into the file `to`: inside the kernel (splice)
// where the file system allows it, else through `buffer`. The bytes moved;
// 0 at the end of the pipe; -1 when a read or write failed (errno in
// run.writeError).
ssize_t moveToFile(int from, int to, ssize_t limit, bool &splicing, std::span<char> buffer,
                   SqliteShell::FileRun &run)
{
    const auto most = static_cast<size_t>(limit > 0 ? limit : 1 << 20);
    for (;;) {
        ssize_t moved = 0;
        if (splicing) {
            moved = ::splice(from, nullptr, to, nullptr, most, SPLICE_F_MOVE);
            if (moved < 0 && errno == EINVAL) {
                splicing = false;
                continue;
            }
        } else {
            moved = ::read(from, buffer.data(), std::min(buffer.size(), most));
            if (moved > 0) {
                const WriteResult wrote = writeAll(to, buffer.data(), moved);
                if (wrote.error != 0) {
                    run.bytes += wrote.written;
                    run.writeError = wrote.error;
                    return -1;
                }
            }
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            run.writeError = errno;
        else
            run.bytes += moved;
        return moved;
    }
}

} // namespace

void drainPipe(int from, int to, int copyTo, SqliteShell::FileRun &run)
{
    bool splicing = true;
    std::array<char, std::size_t{64} * 1024> buffer{};
    for (;;) {
        ssize_t copied = 0;
        if (copyTo >= 0) {
            copied = ::tee(from, copyTo, 1 << 20, 0);
            if (copied < 0 && errno == EINTR)
                continue;
            if (copied < 0) {
                ::close(copyTo);
                copyTo = -1;
                continue;
            }
            if (copied == 0)
                break;
        }
        // What was copied is moved into the file, all of it.
        ssize_t left = copied;
        do {
            const ssize_t moved = moveToFile(from, to, left, splicing, buffer, run);
            if (moved <= 0) {
                if (copyTo >= 0)
                    ::close(copyTo);
                return;
            }
            left -= moved;
        } while (left > 0);
    }
    if (copyTo >= 0)
        ::close(copyTo);
}

namespace
{

// Moves what is left of the open file `from` into the pipe `to`, inside the
// kernel (splice) where the file system allows it, else through a buffer.
// errno of a failed read; 0 at the end of the file, and also when the pipe
// no longer takes anything (the shell has ended, and says why itself).
int copyIntoPipe(int from, int to, bool &pipeOpen)
{
    bool splicing = true;
    std::array<char, std::size_t{64} * 1024> buffer{};
    for (;;) {
        ssize_t moved = 0;
        if (splicing) {
            moved = ::splice(from, nullptr, to, nullptr, 1 << 20, SPLICE_F_MOVE);
            if (moved < 0 && errno == EINVAL) {
                splicing = false;
                continue;
            }
            if (moved < 0 && errno == EPIPE) {
                pipeOpen = false;
                return 0;
            }
        } else {
            moved = ::read(from, buffer.data(), buffer.size());
            if (moved > 0 && writeAll(to, buffer.data(), moved).error != 0) {
                pipeOpen = false;
                return 0;
            }
        }
        if (moved == 0)
            return 0;
        if (moved < 0 && errno != EINTR)
            return errno;
    }
}

} // namespace

int feed(int to, const SqliteShell::Input &input)
{
    int error = 0;
    bool pipeOpen = writeAll(to, input.head.constData(), input.head.size()).error == 0;
    if (pipeOpen && !input.file.isEmpty()) {
        const int from = ::open(QFile::encodeName(input.file).constData(), O_RDONLY | O_CLOEXEC);
        error = from < 0 ? errno : copyIntoPipe(from, to, pipeOpen);
        if (from >= 0)
            ::close(from);
    }
    if (input.stream >= 0) {
        if (pipeOpen && error == 0)
            error = copyIntoPipe(input.stream, to, pipeOpen);
        // Its writer learns that nobody reads any more, rather than wait.
        ::close(input.stream);
    }
    if (pipeOpen && error == 0)
        pipeOpen = writeAll(to, input.tail.constData(), input.tail.size()).error == 0;
    if (input.tailAfter) {
        const QByteArray last = input.tailAfter();
        if (pipeOpen && error == 0)
            std::ignore = writeAll(to, last.constData(), last.size());
    }
    ::close(to);
    return error;
}

} // namespace quillbox
