#include "app/gui/DesktopWorkspace.h"

#include <QDesktopServices>

namespace quillbox
{

void DesktopWorkspace::openUrl(const QUrl &url)
{
    QMetaObject::invokeMethod(
        this, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
}

} // namespace quillbox
