// The terminal front end: the same start-up, check and repair as the
// window, with alerts and progress on the terminal.
#include "app/cli/TerminalAlerts.h"
#include "app/core/companion/Companion.h"
#include "app/core/companion/CompanionApps.h"
#include "app/core/delegate/QBAppDelegate.h"
#include "app/core/salvage/Salvage.h"
#include "app/core/texts/CheckReport.h"
#include "app/core/texts/ExitStatus.h"
#include "app/core/texts/RepairReport.h"
#include "app/core/texts/SalvageText.h"
#include "app/core/texts/Translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <tuple>
#include <unistd.h>

namespace
{

using quillbox::RecoveredCopyUse;
using quillbox::RepairOutcome;

// What the command line asks for. On an error, `error` names the argument
// that was not understood.
struct Command {
    enum class Action { Repair, Check, Help, Version, Error };
    Action action = Action::Repair;
    QString library; // empty: the library in Quillbox's preferences
    QString error;
    bool salvageOnly = false; // save what can be saved, without a repair
    // What a repair does with the recovered copy of a library beyond repair.
    RecoveredCopyUse recoveredCopyUse = RecoveredCopyUse::Ask;
};

// Sets what the option `argument` says in `command` when it is one that
// takes no value; false for any other argument.
bool takeSwitch(const QString &argument, Command &command)
{
    if (argument == QLatin1String("--salvage-only"))
        command.salvageOnly = true;
    else if (argument == QLatin1String("--check"))
        command.action = Command::Action::Check;
    else if (argument == QLatin1String("--use-recovered"))
        command.recoveredCopyUse = RecoveredCopyUse::Use;
    else
        return false;
    return true;
}

Command parseCommand(const QStringList &arguments)
{
    Command command;
    const auto fail = [&command](const QString &error) {
        command.action = Command::Action::Error;
        command.error = error;
        return command;
    };
    const QString libraryOption = QStringLiteral("--library");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return {Command::Action::Help, {}, {}};
        if (argument == QLatin1String("--version"))
            return {Command::Action::Version, {}, {}};
        if (takeSwitch(argument, command))
            continue;
        if (argument == libraryOption || argument.startsWith(libraryOption + u'=')) {
            if (!command.library.isEmpty())
                return fail(
                    QCoreApplication::translate("Terminal", "“--library” was given twice."));
            if (argument == libraryOption)
                command.library = ++i < arguments.size() ? arguments[i] : QString();
            else
                command.library = argument.mid(libraryOption.size() + 1);
            if (command.library.isEmpty())
                return fail(QCoreApplication::translate("Terminal",
                                                        "“--library” needs a folder after it."));
        } else if (argument.startsWith(u'-')) {
            return fail(
                QCoreApplication::translate("Terminal", "Unknown option “%1”.").arg(argument));
        } else {
            return fail(
                QCoreApplication::translate("Terminal", "Unexpected argument “%1”.").arg(argument));
        }
    }
    if (command.salvageOnly && command.action == Command::Action::Check)
        return fail(QCoreApplication::translate(
            "Terminal", "“--check” and “--salvage-only” cannot be given together."));
    if (command.recoveredCopyUse == RecoveredCopyUse::Use &&
        (command.salvageOnly || command.action == Command::Action::Check))
        return fail(QCoreApplication::translate(
            "Terminal", "“--use-recovered” goes with a repair, not with “--check” or "
                        "“--salvage-only”."));
    if (command.salvageOnly && command.library.isEmpty())
        return fail(QCoreApplication::translate("Terminal", "--salvage-only needs --library DIR."));
    return command;
}

QString usageLine()
{
    return QCoreApplication::translate(
               "Terminal", "Usage: %1 [--check | --salvage-only | --use-recovered] [--library DIR]")
        .arg(QCoreApplication::applicationName());
}

QString helpText()
{
    return usageLine() + u"\n\n"_qs +
           QCoreApplication::translate("Terminal",
                                       "Repairs a damaged Quillbox library from the terminal.") +
           u"\n\n"_qs +
           QCoreApplication::translate(
               "Terminal", "Options:\n"
                           "  --library DIR   repair the library folder DIR instead of the one\n"
                           "                  in Quillbox's preferences\n"
                           "  --check         only look for damage and say what a repair\n"
                           "                  would do about it; the library is not changed\n"
                           "  --salvage-only  only save what can be saved of the database of\n"
                           "                  the library DIR into a new folder beside it,\n"
                           "                  without a repair; the library is not changed\n"
                           "  --use-recovered when the library is beyond repair, put the copy\n"
                           "                  the repair recovered in its place without\n"
                           "                  asking; the damaged library stays beside it\n"
                           "  -h, --help      show this help\n"
                           "  --version       show the version") +
           u"\n\n"_qs + QCoreApplication::translate("Terminal", "Exit status:") + u'\n' +
           quillbox::repairExitStatusTable() + u"\n\n"_qs +
           QCoreApplication::translate(
               "Terminal",
               "Ctrl+C stops the repair while it copies and reads the library, leaving it as it "
               "was; once the damaged database is replaced, the repair runs to its end.") +
           u"\n\n"_qs +
           QCoreApplication::translate("Terminal",
                                       "Exit status with --check (the library is never changed):") +
           u'\n' + quillbox::checkExitStatusTable();
}

// Prints an error on standard error, the program's name first, with a
// second line saying what to do.
void printError(const QString &error, const QString &hint)
{
    QTextStream(stderr) << QCoreApplication::applicationName() << u": "_qs << error << Qt::endl
                        << hint << Qt::endl;
}

// Why the library found at start-up cannot be repaired before the repair
// even looks at it; empty when it is a folder.
QString libraryProblem(const QString &library)
{
    if (library.isEmpty())
        return QCoreApplication::translate("Terminal", "No Quillbox library was found.");
    const QFileInfo info(library);
    if (!info.exists())
        return QCoreApplication::translate("Terminal", "There is no folder “%1”.").arg(library);
    if (!info.isDir())
        return QCoreApplication::translate("Terminal", "“%1” is a file, not a folder.")
            .arg(library);
    return {};
}

// Where Ctrl+C goes: the running repair, and the line that says it heard.
quillbox::QBAppDelegate *interruptedDelegate = nullptr;
QByteArray interruptNote;
static_assert(std::atomic<bool>::is_always_lock_free, "the cancel flag is set in a handler");

extern "C" void onInterrupt(int /*signal*/)
{
    if (interruptedDelegate != nullptr)
        interruptedDelegate->cancelRepair();
    std::ignore = ::write(STDERR_FILENO, interruptNote.constData(),
                          static_cast<size_t>(interruptNote.size()));
}

// Ctrl+C asks the repair or the check to stop instead of ending the
// program at once; `note` says so when it is pressed.
void catchInterrupt(quillbox::QBAppDelegate &delegate, const QString &note)
{
    interruptNote = u'\n' + note.toLocal8Bit() + '\n';
    interruptedDelegate = &delegate;
    struct sigaction action {
    };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
}

// Starts `task` of the delegate once the event loop runs, and runs that loop
// until the delegate has ended; its exit status.
int runUntilFinished(quillbox::QBAppDelegate &delegate, void (quillbox::QBAppDelegate::*task)())
{
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, &delegate, task);
    start.start(0);
    const int status = QCoreApplication::exec();
    ::signal(SIGINT, SIG_DFL);
    interruptedDelegate = nullptr;
    return status;
}

// Repairs the library the delegate found, with progress on the terminal.
int repair(quillbox::QBAppDelegate &delegate, quillbox::ProgressLine &progress,
           const quillbox::TerminalWorkspace &workspace)
{
    QObject::connect(&delegate, &quillbox::QBAppDelegate::progressChanged, &delegate,
                     [&progress](quillbox::RepairStage, double fraction) {
                         progress.show(static_cast<int>(fraction * 100));
                     });
    QObject::connect(&delegate, &quillbox::QBAppDelegate::repairFinished, &delegate,
                     [&progress, &workspace](RepairOutcome outcome) {
                         progress.clear();
                         if ((outcome == RepairOutcome::CorruptRestored ||
                              outcome == RepairOutcome::CorruptNotRestored ||
                              outcome == RepairOutcome::RecoveredInUse) &&
                             !workspace.printedAddress())
                             QTextStream(stdout) << QCoreApplication::translate(
                                                        "Terminal", "For help, write to %1.")
                                                        .arg(quillbox::companion::kSupportAddress)
                                                 << Qt::endl;
                         QCoreApplication::exit(exitStatus(outcome));
                     });
    catchInterrupt(delegate, QCoreApplication::translate(
                                 "Terminal", "Stopping: the repair stops if the library is still "
                                             "as it was, and otherwise finishes first."));
    return runUntilFinished(delegate, &quillbox::QBAppDelegate::fixLibrary);
}

// Checks the library the delegate found, without changing it.
int check(quillbox::QBAppDelegate &delegate)
{
    QObject::connect(&delegate, &quillbox::QBAppDelegate::checkFinished, &delegate,
                     [](quillbox::CheckOutcome outcome) {
                         QCoreApplication::exit(quillbox::exitStatus(outcome));
                     });
    catchInterrupt(delegate, QCoreApplication::translate("Terminal", "Stopping the check."));
    return runUntilFinished(delegate, &quillbox::QBAppDelegate::checkLibrary);
}

// Finds the library as the window does, then repairs or checks it (`action`)
// with alerts on the terminal, a repair doing with a recovered copy what
// `recovered` says; the exit status.
int run(const QString &libraryOverride, Command::Action action, RecoveredCopyUse recovered)
{
    quillbox::ProgressLine progress(isatty(STDERR_FILENO) != 0);
    quillbox::TerminalAlerts alerts(progress);
    quillbox::DesktopCompanionApps apps;
    quillbox::TerminalWorkspace workspace(progress);
    quillbox::QBAppDelegate delegate({alerts, apps, workspace});
    quillbox::TerminalWindow window(delegate);
    delegate.setWindow(&window);
    delegate.setLibraryOverride(libraryOverride);
    delegate.setRecoveredCopyUse(recovered);
    delegate.applicationDidFinishLaunching();

    if (const QString problem = libraryProblem(delegate.libraryFileURL().toLocalFile());
        !problem.isEmpty()) {
        printError(problem,
                   libraryOverride.isEmpty()
                       ? QCoreApplication::translate("Terminal",
                                                     "Name the library folder with --library DIR.")
                       : QCoreApplication::translate(
                             "Terminal", "Give --library the folder that holds “Library.sqlite”."));
        return exitStatus(RepairOutcome::NoLibrary);
    }
    return action == Command::Action::Check ? check(delegate)
                                            : repair(delegate, progress, workspace);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox-repair-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLBOX_VERSION));
    quillbox::installTranslations(app);

    const Command command = parseCommand(QCoreApplication::arguments());
    switch (command.action) {
    case Command::Action::Help:
        QTextStream(stdout) << helpText() << Qt::endl;
        return 0;
    case Command::Action::Version:
        QTextStream(stdout) << QCoreApplication::applicationName() << u' '
                            << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    case Command::Action::Error:
        printError(command.error,
                   usageLine() + u'\n' +
                       QCoreApplication::translate("Terminal", "Try “%1 --help” for more.")
                           .arg(QCoreApplication::applicationName()));
        return quillbox::kCommandLineNotUnderstood;
    case Command::Action::Repair:
    case Command::Action::Check:
        break;
    }
    if (command.salvageOnly) {
        const quillbox::SalvageReport report = quillbox::salvageOnly(
            quillbox::SqliteShell(quillbox::SqliteShell::defaultExecutable()), command.library);
        QTextStream(stdout) << quillbox::describeSalvage(report) << Qt::endl;
        return report.recoveredPath.isEmpty() ? quillbox::kNoRecoveredCopyWritten : 0;
    }
    return run(command.library, command.action, command.recoveredCopyUse);
}
