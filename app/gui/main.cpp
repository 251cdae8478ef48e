// The window program: the repair utility as a desktop application.
#include "app/core/companion/CompanionApps.h"
#include "app/core/delegate/QBAppDelegate.h"
#include "app/core/texts/Translations.h"
#include "app/gui/DesktopWorkspace.h"
#include "app/gui/MessageBoxAlerts.h"
#include "app/gui/RepairWindow.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace
{

// What the program says when it cannot reach a display, in the user's
// language: taken before the window's application exists, since Qt ends the
// program while making one that finds no display.
QString noDisplayText(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    quillbox::installTranslations(app);
    return u"quillbox-repair: "_qs +
           QCoreApplication::translate("Gui",
                                       "No display was found, so the window cannot be shown.\n"
                                       "Run it in a desktop session, or repair the library from a "
                                       "terminal with quillbox-repair-cli.");
}

QString noDisplay;
QtMessageHandler qtMessages = nullptr;

// Qt's end when no display answers (a fatal message, then abort) becomes
// the message above and exit status 1.
void endWithoutDisplay(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        qtMessages(type, context, message);
        return;
    }
    QTextStream(stderr) << noDisplay << Qt::endl;
    std::_Exit(1);
}

bool displayNamed()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    noDisplay = noDisplayText(argc, argv);
    if (!displayNamed()) {
        QTextStream(stderr) << noDisplay << Qt::endl;
        return 1;
    }
    qtMessages = qInstallMessageHandler(endWithoutDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    QApplication::setApplicationName(QStringLiteral("quillbox-repair"));
    // The name people see: the window's title and every alert's title, which
    // Qt takes from the display name (else the executable's name would show).
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox Repair"));
    // The installed desktop entry and icon, so a desktop matches the window
    // to them.
    QApplication::setDesktopFileName(QStringLiteral("com.quillbox.QuillboxRepair"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.quillbox.QuillboxRepair")));
    QApplication::setQuitOnLastWindowClosed(
        quillbox::QBAppDelegate::applicationShouldTerminateAfterLastWindowClosed());
    quillbox::installTranslations(app);

    quillbox::MessageBoxAlerts alerts;
    quillbox::DesktopCompanionApps apps;
    quillbox::DesktopWorkspace workspace(alerts);
    quillbox::QBAppDelegate delegate({alerts, apps, workspace});
    quillbox::RepairWindow window(delegate, alerts);
    window.widget()->setWindowTitle(QApplication::applicationDisplayName());
    alerts.setParentWidget(window.widget());
    delegate.setWindow(&window);
    QObject::connect(&delegate, &quillbox::QBAppDelegate::terminateRequested, &app,
                     &QApplication::quit);

    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
