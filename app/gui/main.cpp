// The window program: the repair utility as a desktop application.
#include "app/core/CompanionApps.h"
#include "app/core/QBAppDelegate.h"
#include "app/core/Translations.h"
#include "app/gui/DesktopWorkspace.h"
#include "app/gui/MessageBoxAlerts.h"
#include "app/gui/RepairWindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillbox-repair"));
    QApplication::setQuitOnLastWindowClosed(
        quillbox::QBAppDelegate::applicationShouldTerminateAfterLastWindowClosed());
    quillbox::installTranslations(app);

    quillbox::MessageBoxAlerts alerts;
    quillbox::DesktopCompanionApps apps;
    quillbox::DesktopWorkspace workspace;
    quillbox::QBAppDelegate delegate({alerts, apps, workspace});
    quillbox::RepairWindow window(delegate, alerts);
    alerts.setParentWidget(window.widget());
    delegate.setWindow(&window);
    QObject::connect(&delegate, &quillbox::QBAppDelegate::terminateRequested, &app,
                     &QApplication::quit);

    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
