#include "app/core/sqlite/SqliteShell.h"

#include "app/core/sqlite/ShellPipes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace quillbox
{
namespace
{

// Sets up what the child does between fork and exec: it dies with us, has
// a process group of its own, and takes `outputFd` and `inputFd` (when not
// -1) as its standard output and input.
void setUpChild(QProcess &shell, int outputFd, int inputFd)
{
    // The shell must not outlive us: a shell left running in a library that
    // the next start puts back from its safety copy would, on closing,
    // delete the restored database's -wal file by its name.
    const pid_t parent = ::getpid();
    shell.setChildProcessModifier([parent, outputFd, inputFd] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // A process group of its own: Ctrl+C at the terminal reaches the
        // program, which stops the shell when it should, never the shell,
        // whose interrupted statement would read as a failed repair.
        ::setpgid(0, 0);
        // Qt has set up the standard channels by now; these replace them.
        if ((outputFd >= 0 && ::dup2(outputFd, STDOUT_FILENO) < 0) ||
            (inputFd >= 0 && ::dup2(inputFd, STDIN_FILENO) < 0))
            ::_exit(127);
    });
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
    shell.setup_ = setup_;
    shell.modules_ = modules_;
    shell.timeLimit_ = timeLimit_;
    return shell;
}

SqliteShell SqliteShell::withSetup(const QByteArrayList &commands) const
{
    SqliteShell shell = *this;
    shell.setup_.append(commands);
    return shell;
}

SqliteShell SqliteShell::withModules(Modules modules) const
{
    SqliteShell shell = *this;
    shell.modules_ = modules;
    return shell;
}

QStringList SqliteShell::arguments() const
{
    // Without -init, the shell would read the user's ~/.sqliterc first.
    QStringList arguments{u"-init"_qs, u"/dev/null"_qs, u"-batch"_qs};
    for (const QByteArray &command : setup_)
        arguments << u"-cmd"_qs << QString::fromUtf8(command);
    // Safe mode from here on: the shell's standard input may carry text
    // made from the library.
    arguments << u"-safe"_qs << database_;
    return arguments;
}

bool SqliteShell::isUsable() const
{
    const QFileInfo info(executable_);
    return info.isFile() && info.isExecutable();
}

SqliteShell::Ending SqliteShell::run(const QString &folder, const Input &input,
                                     const std::function<void()> &poll) const
{
    return execute(folder, input, nullptr, poll);
}

SqliteShell::FileRun SqliteShell::runToFile(const QString &folder, const QByteArray &script,
                                            const QString &outputPath,
                                            const std::function<void()> &poll, int copyTo) const
{
    FileRun run;
    const int file = ::open(QFile::encodeName(outputPath).constData(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    std::array<int, 2> pipe{-1, -1};
    if (file < 0 || ::pipe2(pipe.data(), O_CLOEXEC) != 0) {
        run.writeError = errno;
        if (file >= 0)
            ::close(file);
        if (copyTo >= 0)
            ::close(copyTo);
        return run;
    }
    // A larger pipe lets the shell run further ahead between two writes.
    ::fcntl(pipe[1], F_SETPIPE_SZ, 1 << 20);
    std::thread drain([&] {
        drainPipe(pipe[0], file, copyTo, run);
        // Closing the reading end makes the shell's next write fail, so a
        // shell whose output can no longer be kept does not run on.
        ::close(pipe[0]);
    });
    static_cast<Ending &>(run) = execute(folder, {script}, nullptr, poll, pipe[1]);
    ::close(pipe[1]);
    drain.join();
    if (::close(file) != 0 && run.writeError == 0)
        run.writeError = errno;
    return run;
}

SqliteShell::Output SqliteShell::query(const QString &folder, const QByteArray &script) const
{
    return query(folder, Input{script});
}

SqliteShell::Output SqliteShell::query(const QString &folder, const Input &input) const
{
    Output output;
    static_cast<Ending &>(output) = execute(folder, input, &output.text, {});
    return output;
}

SqliteShell::Ending SqliteShell::execute(const QString &folder, const Input &input,
                                         QByteArray *output, const std::function<void()> &poll,
                                         int outputFd) const
{
    QProcess shell;
    shell.setProgram(executable_);
    shell.setArguments(arguments());
    shell.setWorkingDirectory(folder);
    if (modules_ == Modules::WithoutFullText) {
        // Our shell's connections then drop those modules as they open.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QUILLBOX_WITHOUT_FULL_TEXT"_qs, u"1"_qs);
        shell.setProcessEnvironment(environment);
    }
    if (output == nullptr && outputFd < 0)
        shell.setStandardOutputFile(QProcess::nullDevice());
    // A file is streamed to the shell through a pipe of our own, which the
    // child takes as its standard input; anything else goes through Qt's.
    std::array<int, 2> in{-1, -1};
    if (!input.file.isEmpty() || input.stream >= 0 || input.tailAfter) {
        if (::pipe2(in.data(), O_CLOEXEC) != 0) {
            const int error = errno;
            if (input.stream >= 0)
                ::close(input.stream);
            return {.trouble = Trouble::InputUnreadable, .errors = std::strerror(error)};
        }
        ::fcntl(in[1], F_SETPIPE_SZ, 1 << 20);
        shell.setStandardInputFile(QProcess::nullDevice());
    }
    setUpChild(shell, outputFd, in[0]);
    shell.start();
    const bool started = shell.waitForStarted(-1);
    if (in[0] >= 0)
        ::close(in[0]);
    if (!started) {
        if (in[1] >= 0)
            ::close(in[1]);
        if (input.stream >= 0)
            ::close(input.stream);
        return {.trouble = Trouble::NotStarted, .errors = shell.errorString().toLocal8Bit()};
    }
    int inputError = 0;
    std::thread feeding;
    if (in[1] >= 0) {
        feeding = std::thread([&, to = in[1]] { inputError = feed(to, input); });
    } else {
        shell.write(input.head);
        shell.closeWriteChannel();
    }
    // A shell that ends, or is stopped, closes the pipe, which ends the feed.
    Ending ending = wait(shell, output, poll);
    if (feeding.joinable())
        feeding.join();
    if (inputError != 0 && !ending.troubled())
        return {.trouble = Trouble::InputUnreadable, .errors = std::strerror(inputError)};
    return ending;
}

SqliteShell::Ending SqliteShell::wait(QProcess &shell, QByteArray *output,
                                      const std::function<void()> &poll) const
{
    // What the shell says on its standard error is kept for the report's
    // details, never passed on: raw shell errors mean nothing to the user.
    Ending ending;
    const auto keepErrors = [&] {
        const QByteArray errors = shell.readAllStandardError();
        if (!errors.isEmpty())
            ending.errors = (ending.errors + errors).right(4096);
    };
    QElapsedTimer clock;
    clock.start();
    while (!shell.waitForFinished(100)) {
        if (shell.state() == QProcess::NotRunning)
            break;
        const bool late = timeLimit_.count() > 0 && clock.elapsed() > timeLimit_.count();
        if (late || (cancelFlag_ != nullptr && cancelFlag_->load())) {
            ending.trouble = late ? Trouble::TimedOut : Trouble::Canceled;
            shell.kill();
            shell.waitForFinished(-1);
            return ending;
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
    // A shell that was killed (the out-of-memory killer, a user) says
    // nothing of the library; Qt gives the signal as its exit code.
    if (shell.exitStatus() != QProcess::NormalExit) {
        ending.trouble = Trouble::Killed;
        ending.signal = shell.exitCode();
        return ending;
    }
    ending.status = shell.exitCode();
    return ending;
}

SqliteShell::Output QuerySeries::query(const QByteArray &script, SqliteShell::Modules modules)
{
    SqliteShell::Output output = shell_.withModules(modules).query(folder_, script);
    last_ = static_cast<const SqliteShell::Ending &>(output);
    if (output.troubled() && !trouble_)
        trouble_ = last_;
    return output;
}

QByteArray loadScript(const QString &name)
{
    QFile file(QStringLiteral(":/scripts/") + name + QStringLiteral(".sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace quillbox
