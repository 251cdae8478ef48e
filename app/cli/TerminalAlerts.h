#pragma once

#include "app/core/frontend/Alerts.h"
#include "app/core/frontend/AppWindow.h"
#include "app/core/frontend/Workspace.h"

#include <QMutex>

#include <atomic>

namespace quillbox
{

class QBAppDelegate;

// One updating line on standard error, "Repairing…  42%", drawn only when
// standard error is a terminal. It is wiped before anything else is
// printed, so no message ever lands behind it.
class ProgressLine
{
  public:
    explicit ProgressLine(bool shown) : shown_(shown) {}
    void show(int percent);
    // Wipes the line if one is drawn; the next show() draws it afresh.
    void clear();

  private:
    QMutex mutex_;
    bool shown_;
    int drawn_ = -1;
};

// Alerts on the terminal: each alert's texts are printed. With several
// buttons the user picks one when standard input is a terminal; otherwise
// the last button (the cautious one) is taken.
class TerminalAlerts final : public Alerts
{
  public:
    explicit TerminalAlerts(ProgressLine &progress) : progress_(progress) {}
    int runModal(const Alert &alert) override;

  private:
    int ask(const QStringList &buttons);
    ProgressLine &progress_;
    QMutex mutex_;
};

// Prints the support address instead of opening a mail program, which a
// terminal does not have.
class TerminalWorkspace final : public Workspace
{
  public:
    explicit TerminalWorkspace(ProgressLine &progress) : progress_(progress) {}
    void openUrl(const QUrl &url) override;
    // Whether the support address was already printed.
    [[nodiscard]] bool printedAddress() const { return printedAddress_; }

  private:
    ProgressLine &progress_;
    std::atomic<bool> printedAddress_ = false;
};

// The "window" of the terminal front end: one line naming the library, when
// there is one.
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
