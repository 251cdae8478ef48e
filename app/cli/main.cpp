// The terminal front end: the same start-up and repair as the window, with
// alerts and progress on the terminal.
#include "app/cli/TerminalAlerts.h"
#include "app/core/Companion.h"
#include "app/core/CompanionApps.h"
#include "app/core/QBAppDelegate.h"
#include "app/core/Salvage.h"
#include "app/core/Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace
{

using quillbox::RepairOutcome;

// Exit statuses, one per outcome; 0 only when the library was fixed.
int exitStatus(RepairOutcome outcome)
{
    switch (outcome) {
    case RepairOutcome::Fixed:
        return 0;
    case RepairOutcome::NoLibrary:
        return 2;
    case RepairOutcome::CompanionRunning:
        return 3;
    case RepairOutcome::ShellMissing:
        return 4;
    case RepairOutcome::SafetyCopyFailed:
        return 5;
    case RepairOutcome::CorruptRestored:
        return 6;
    case RepairOutcome::CorruptNotRestored:
        return 7;
    case RepairOutcome::UnsafeText:
        return 8;
    case RepairOutcome::NoSpace:
        return 9;
    case RepairOutcome::ReadOnly:
        return 10;
    case RepairOutcome::WriteFailed:
        return 11;
    case RepairOutcome::AlreadyRunning:
        return 12;
    case RepairOutcome::ShellFailed:
        return 14;
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox-repair-cli"));
    quillbox::installTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "Terminal",
        "Repairs a damaged Quillbox library from the terminal.\n\n"
        "Exit status:\n"
        "  0  the library was fixed\n"
        "  1  the command line was not understood\n"
        "  2  no Quillbox library was found\n"
        "  3  Quillbox is running\n"
        "  4  the utility's own sqlite3 shell is missing\n"
        "  5  no safety copy could be saved (library untouched)\n"
        "  6  the library is beyond repair; it was restored from its safety copy\n"
        "  7  the library is beyond repair and could not be restored; "
        "the safety copy stays beside it\n"
        "  8  the library holds text the rebuild would cut short; it was left as it was\n"
        "  9  too little free space on the library's disk; nothing was changed\n"
        " 10  the library or its folder cannot be written; nothing was changed\n"
        " 11  a write failed midway; the library was put back from its safety copy\n"
        " 12  another program is repairing this library; nothing was changed\n"
        " 13  (--salvage-only) no recovered copy was written\n"
        " 14  the sqlite3 shell could not start or stopped responding; the library was put back "
        "from its safety copy"));
    parser.addHelpOption();
    const QCommandLineOption libraryOption(
        QStringLiteral("library"),
        QCoreApplication::translate(
            "Terminal",
            "Repair the library folder DIR instead of the one in Quillbox's preferences."),
        QStringLiteral("DIR"));
    parser.addOption(libraryOption);
    const QCommandLineOption salvageOption(
        QStringLiteral("salvage-only"),
        QCoreApplication::translate("Terminal",
                                    "Only save what can be saved of the library's database into a "
                                    "new folder beside it, without repairing; the library is not "
                                    "changed. Needs --library. Exit status 0 when a recovered "
                                    "copy was written, 13 otherwise."));
    parser.addOption(salvageOption);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << (parser.errorText().isEmpty()
                                    ? QCoreApplication::translate("Terminal",
                                                                  "Unexpected argument.")
                                    : parser.errorText())
                            << Qt::endl;
        return 1;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    if (parser.isSet(salvageOption)) {
        if (!parser.isSet(libraryOption)) {
            QTextStream(stderr) << QCoreApplication::translate(
                                       "Terminal", "--salvage-only needs --library DIR.")
                                << Qt::endl;
            return 1;
        }
        const quillbox::SalvageReport report =
            quillbox::salvageOnly(quillbox::SqliteShell(quillbox::SqliteShell::defaultExecutable()),
                                  parser.value(libraryOption));
        QTextStream(stdout) << quillbox::describeSalvage(report) << Qt::endl;
        return report.recoveredPath.isEmpty() ? 13 : 0;
    }

    quillbox::TerminalAlerts alerts;
    quillbox::DesktopCompanionApps apps;
    quillbox::TerminalWorkspace workspace;
    quillbox::QBAppDelegate delegate({alerts, apps, workspace});
    quillbox::TerminalWindow window(delegate);
    delegate.setWindow(&window);
    if (parser.isSet(libraryOption))
        delegate.setLibraryOverride(parser.value(libraryOption));

    // Progress on one updating line, only when someone watches it.
    const bool showProgress = isatty(STDERR_FILENO) != 0;
    QObject::connect(&delegate, &quillbox::QBAppDelegate::progressChanged, &app,
                     [showProgress, shown = -1](quillbox::RepairStage, double fraction) mutable {
                         const int percent = static_cast<int>(fraction * 100);
                         if (!showProgress || percent == shown)
                             return;
                         shown = percent;
                         std::fprintf(
                             stderr, "\r%s %3d%%",
                             qPrintable(QCoreApplication::translate("Terminal", "Repairing…")),
                             percent);
                     });
    QObject::connect(&delegate, &quillbox::QBAppDelegate::repairFinished, &app,
                     [showProgress](RepairOutcome outcome) {
                         if (showProgress)
                             std::fprintf(stderr, "\n");
                         if (outcome == RepairOutcome::CorruptRestored ||
                             outcome == RepairOutcome::CorruptNotRestored)
                             QTextStream(stdout) << QCoreApplication::translate(
                                                        "Terminal", "For help, write to %1.")
                                                        .arg(quillbox::companion::kSupportAddress)
                                                 << Qt::endl;
                         QCoreApplication::exit(exitStatus(outcome));
                     });

    delegate.applicationDidFinishLaunching();
    QTimer::singleShot(0, &delegate, &quillbox::QBAppDelegate::fixLibrary);
    return QCoreApplication::exec();
}
