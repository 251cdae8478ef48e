#pragma once

#include "app/core/Workspace.h"

#include <QObject>

namespace quillbox
{

// Opens URLs with the desktop's handler (xdg-open and the like), from the
// GUI thread whatever thread asks.
class DesktopWorkspace final : public QObject, public Workspace
{
    Q_OBJECT
  public:
    using QObject::QObject;
    void openUrl(const QUrl &url) override;
};

} // namespace quillbox
