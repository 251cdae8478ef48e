#include "app/core/companion/CompanionApps.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

namespace quillbox
{
namespace
{

// The value of `key` in the [Desktop Entry] group, or empty.
QString desktopEntryValue(const QString &entryPath, const QString &key)
{
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inMainGroup && eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

// The first word of an Exec value, honouring a double-quoted program path.
QString firstWord(const QString &exec)
{
    if (exec.startsWith(u'"')) {
        const qsizetype end = exec.indexOf(u'"', 1);
        return end < 0 ? exec.mid(1) : exec.mid(1, end - 1);
    }
    return exec.section(u' ', 0, 0, QString::SectionSkipEmpty);
}

QString resolveProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/')) {
        const QFileInfo info(program);
        return info.isAbsolute() && info.exists() ? info.canonicalFilePath() : QString();
    }
    const QString found = QStandardPaths::findExecutable(program);
    return found.isEmpty() ? QString() : QFileInfo(found).canonicalFilePath();
}

// True when a process of the current user runs `executable`, judged by the
// process's executable image or, for scripts, its first argument.
bool userProcessRuns(const QString &executable)
{
    const QByteArray target = QFile::encodeName(executable);
    const uid_t me = getuid();
    const QStringList pids =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QByteArray dir = QFile::encodeName(u"/proc/"_qs + pid);
        struct stat st {
        };
        if (stat(dir.constData(), &st) != 0 || st.st_uid != me)
            continue;
        if (QFile::encodeName(QFile::symLinkTarget(QString::fromUtf8(dir + "/exe"))) == target)
            return true;
        QFile cmdline(QString::fromUtf8(dir + "/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QByteArray argv0 = cmdline.read(4096).split('\0').value(0);
            if (!argv0.isEmpty() && resolveProgram(QFile::decodeName(argv0)) == executable)
                return true;
        }
    }
    return false;
}

} // namespace

QString desktopEntryPath(const QString &identifier)
{
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                  identifier + QStringLiteral(".desktop"));
}

QString desktopEntryExecutable(const QString &entryPath)
{
    QString program = desktopEntryValue(entryPath, QStringLiteral("TryExec"));
    if (program.isEmpty())
        program = firstWord(desktopEntryValue(entryPath, QStringLiteral("Exec")));
    return resolveProgram(program);
}

bool DesktopCompanionApps::isInstalled(const QString &identifier)
{
    return !desktopEntryPath(identifier).isEmpty();
}

bool DesktopCompanionApps::isRunning(const QString &identifier)
{
    const QString entry = desktopEntryPath(identifier);
    if (!entry.isEmpty()) {
        const QString executable = desktopEntryExecutable(entry);
        if (!executable.isEmpty() && userProcessRuns(executable))
            return true;
    }
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(identifier).value();
}

} // namespace quillbox
