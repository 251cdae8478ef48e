#include "app/core/SqliteShell.h"

#include "app/core/WriteAll.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace quillbox
{
namespace
{

// Writes everything that arrives on the pipe `from` into the file `to`
// until the pipe ends or a write fails. The pages move inside the kernel
// (splice) where the file system allows it, else through a buffer.
void drainPipe(int from, int to, SqliteShell::FileRun &run)
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
        } else {
            moved = ::read(from, buffer.data(), buffer.size());
            if (moved > 0) {
                const WriteResult wrote = writeAll(to, buffer.data(), moved);
                if (wrote.error != 0) {
                    run.bytes += wrote.written;
                    run.writeError = wrote.error;
                    return;
                }
            }
        }
        if (moved == 0)
            return;
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            run.writeError = errno;
            return;
        }
        run.bytes += moved;
    }
}

} // namespace

SqliteShell::SqliteShell(QString executable) : executable_(std::move(executable)) {}

QString SqliteShell::defaultExecutable()
{
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../libexec/quillbox-repair/sqlite3");
}

SqliteShell SqliteShell::onDatabase(const QString &name) const
{
    SqliteShell shell(executable_);
    shell.database_ = name;
    shell.timeLimit_ = timeLimit_;
    return shell;
}

bool SqliteShell::isUsable() const
{
    const QFileInfo info(executable_);
    return info.isFile() && info.isExecutable();
}

int SqliteShell::run(const QString &folder, const QByteArray &script,
                     const std::function<void()> &poll) const
{
    return execute(folder, script, nullptr, poll);
}

SqliteShell::FileRun SqliteShell::runToFile(const QString &folder, const QByteArray &script,
                                            const QString &outputPath,
                                            const std::function<void()> &poll) const
{
    FileRun run;
    const int file = ::open(QFile::encodeName(outputPath).constData(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    std::array<int, 2> pipe{-1, -1};
    if (file < 0 || ::pipe2(pipe.data(), O_CLOEXEC) != 0) {
        run.writeError = errno;
        if (file >= 0)
            ::close(file);
        return run;
    }
    // A larger pipe lets the shell run further ahead between two writes.
    ::fcntl(pipe[1], F_SETPIPE_SZ, 1 << 20);
    std::thread drain([&] {
        drainPipe(pipe[0], file, run);
        // Closing the reading end makes the shell's next write fail, so a
        // shell whose output can no longer be kept does not run on.
        ::close(pipe[0]);
    });
    run.status = execute(folder, script, nullptr, poll, pipe[1]);
    ::close(pipe[1]);
    drain.join();
    if (::close(file) != 0 && run.writeError == 0)
        run.writeError = errno;
    return run;
}

SqliteShell::Output SqliteShell::query(const QString &folder, const QByteArray &script) const
{
    Output output;
    output.status = execute(folder, script, &output.text, {});
    return output;
}

int SqliteShell::execute(const QString &folder, const QByteArray &script, QByteArray *output,
                         const std::function<void()> &poll, int outputFd) const
{
    QProcess shell;
    shell.setProgram(executable_);
    shell.setArguments({QStringLiteral("-init"), QStringLiteral("/dev/null"),
                        QStringLiteral("-batch"), database_});
    shell.setWorkingDirectory(folder);
    shell.setProcessChannelMode(output == nullptr ? QProcess::ForwardedOutputChannel
                                                  : QProcess::SeparateChannels);
    errors_.clear();
    trouble_ = Trouble::None;
    // What the shell says on its standard error is kept for the report's
    // details, never passed on: raw shell errors mean nothing to the user.
    const auto keepErrors = [&] {
        const QByteArray errors = shell.readAllStandardError();
        if (!errors.isEmpty())
            errors_ = (errors_ + errors).right(4096);
    };
    // The shell must not outlive us: a shell left running in a library that
    // the next start puts back from its safety copy would, on closing,
    // delete the restored database's -wal file by its name.
    const pid_t parent = ::getpid();
    shell.setChildProcessModifier([parent, outputFd] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // Qt has set up the standard channels by now; this one replaces
        // the standard output.
        if (outputFd >= 0 && ::dup2(outputFd, STDOUT_FILENO) < 0)
            ::_exit(127);
    });
    shell.start();
    if (!shell.waitForStarted(-1)) {
        trouble_ = Trouble::NotStarted;
        errors_ = shell.errorString().toLocal8Bit();
        return -1;
    }
    shell.write(script);
    shell.closeWriteChannel();
    QElapsedTimer clock;
    clock.start();
    while (!shell.waitForFinished(100)) {
        if (shell.state() == QProcess::NotRunning)
            break;
        const bool late = timeLimit_.count() > 0 && clock.elapsed() > timeLimit_.count();
        if (late || (cancelFlag_ != nullptr && cancelFlag_->load())) {
            trouble_ = late ? Trouble::TimedOut : Trouble::Canceled;
            shell.kill();
            shell.waitForFinished(-1);
            return -1;
        }
        if (output != nullptr)
            output->append(shell.readAllStandardOutput());
        keepErrors();
        if (poll)
            poll();
    }
    if (output != nullptr)
        output->append(shell.readAllStandardOutput());
    keepErrors();
    if (shell.exitStatus() != QProcess::NormalExit)
        return -1;
    return shell.exitCode();
}

QByteArray loadScript(const QString &name)
{
    QFile file(QStringLiteral(":/scripts/") + name + QStringLiteral(".sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace quillbox
