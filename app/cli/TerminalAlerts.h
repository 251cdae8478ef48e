#pragma once

#include "app/core/Alerts.h"
#include "app/core/AppWindow.h"
#include "app/core/Workspace.h"

#include <QMutex>

namespace quillbox
{

class QBAppDelegate;

// Alerts on the terminal: each alert's texts are printed. With several
// buttons the user picks one when standard input is a terminal; otherwise
// the last button (the cautious one) is taken.
class TerminalAlerts final : public Alerts
{
  public:
    int runModal(const Alert &alert) override;

  private:
    QMutex mutex_;
};

// Prints the URL instead of opening it: a terminal has no mail program.
class TerminalWorkspace final : public Workspace
{
  public:
    void openUrl(const QUrl &url) override;
};

// The "window" of the terminal front end: one line naming the library.
class TerminalWindow final : public AppWindow
{
  public:
    explicit TerminalWindow(const QBAppDelegate &delegate) : delegate_(delegate) {}
    void center() override {}
    void makeKeyAndOrderFront() override;

  private:
    const QBAppDelegate &delegate_;
};

} // namespace quillbox
