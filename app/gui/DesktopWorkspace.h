#pragma once

#include "app/core/frontend/Workspace.h"

#include <QObject>

#include <functional>

namespace quillbox
{

class Alerts;

// Opens URLs with the desktop's handler (xdg-open and the like), from the
// GUI thread whatever thread asks. When no program takes a mailto: URL, an
// alert shows the address instead and offers to copy it.
class DesktopWorkspace final : public QObject, public Workspace
{
    Q_OBJECT
  public:
    explicit DesktopWorkspace(Alerts &alerts, QObject *parent = nullptr);
    void openUrl(const QUrl &url) override;

    // Hands a URL to the desktop; false when nothing took it.
    using Opener = std::function<bool(const QUrl &url)>;
    void setOpener(Opener opener) { opener_ = std::move(opener); }

  private:
    void open(const QUrl &url);
    Alerts &alerts_;
    Opener opener_;
};

} // namespace quillbox
