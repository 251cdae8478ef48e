#include "app/core/SqliteShell.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace quillbox
{

SqliteShell::SqliteShell(QString executable) : executable_(std::move(executable)) {}

QString SqliteShell::defaultExecutable()
{
    return QCoreApplication::applicationDirPath() +
           QStringLiteral("/../libexec/quillbox-repair/sqlite3");
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

SqliteShell::Output SqliteShell::query(const QString &folder, const QByteArray &script) const
{
    Output output;
    output.status = execute(folder, script, &output.text, {});
    return output;
}

int SqliteShell::execute(const QString &folder, const QByteArray &script, QByteArray *output,
                         const std::function<void()> &poll) const
{
    QProcess shell;
    shell.setProgram(executable_);
    shell.setArguments({QStringLiteral("-init"), QStringLiteral("/dev/null"),
                        QStringLiteral("-batch"), QStringLiteral("Library.sqlite")});
    shell.setWorkingDirectory(folder);
    shell.setProcessChannelMode(output == nullptr ? QProcess::ForwardedOutputChannel
                                                  : QProcess::SeparateChannels);
    errors_.clear();
    const auto passErrorsOn = [&] {
        const QByteArray errors = shell.readAllStandardError();
        if (errors.isEmpty())
            return;
        std::fwrite(errors.constData(), 1, static_cast<size_t>(errors.size()), stderr);
        errors_ = (errors_ + errors).right(4096);
    };
    // The shell must not outlive us: a shell left running in a library that
    // the next start puts back from its safety copy would, on closing,
    // delete the restored database's -wal file by its name.
    const pid_t parent = ::getpid();
    shell.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    shell.start();
    if (!shell.waitForStarted(-1))
        return -1;
    shell.write(script);
    shell.closeWriteChannel();
    while (!shell.waitForFinished(100)) {
        if (shell.state() == QProcess::NotRunning)
            break;
        if (output != nullptr)
            output->append(shell.readAllStandardOutput());
        passErrorsOn();
        if (poll)
            poll();
    }
    if (output != nullptr)
        output->append(shell.readAllStandardOutput());
    passErrorsOn();
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
