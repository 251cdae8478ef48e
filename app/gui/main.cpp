// The window program: the repair utility as a desktop application.
#include "app/core/CompanionApps.h"
#include "app/core/QBAppDelegate.h"
#include "app/core/Translations.h"
#include "app/gui/DesktopWorkspace.h"
#include "app/gui/MessageBoxAlerts.h"
#include "app/gui/RepairWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
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
    quillbox::DesktopWorkspace workspace;
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
