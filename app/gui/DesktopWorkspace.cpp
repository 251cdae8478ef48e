#include "app/gui/DesktopWorkspace.h"

#include "app/core/frontend/Alerts.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>

namespace quillbox
{

DesktopWorkspace::DesktopWorkspace(Alerts &alerts, QObject *parent)
    : QObject(parent), alerts_(alerts), opener_(&QDesktopServices::openUrl)
{
}

void DesktopWorkspace::openUrl(const QUrl &url)
{
    QMetaObject::invokeMethod(
        this, [this, url] { open(url); }, Qt::QueuedConnection);
}

void DesktopWorkspace::open(const QUrl &url)
{
    if (opener_(url))
        return;
    if (url.scheme() != QLatin1String("mailto")) {
        alerts_.runModal(
            {QCoreApplication::translate("DesktopWorkspace", "“%1” could not be opened.")
                 .arg(url.isLocalFile() ? url.toLocalFile() : url.toString()),
             {},
             {}});
        return;
    }
    // No mail program: the address itself, ready to paste into whatever the
    // user writes mail with.
    const QString address = url.path();
    const int answer = alerts_.runModal(
        {QCoreApplication::translate("DesktopWorkspace", "No mail program could be opened."),
         QCoreApplication::translate("DesktopWorkspace", "Write to Quillbox Support at %1.")
             .arg(address),
         {QCoreApplication::translate("DesktopWorkspace", "Copy Address"),
          QCoreApplication::translate("DesktopWorkspace", "OK")}});
    if (answer == kFirstButton)
        QGuiApplication::clipboard()->setText(address);
}

} // namespace quillbox
