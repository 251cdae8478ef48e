#pragma once

#include "app/core/frontend/Alerts.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>

namespace quillbox
{

// Alerts as modal QMessageBoxes over the window. Called from a repair's
// thread, the box is shown by the GUI thread and the caller waits for it.
// Once the application is quitting, its event loop shows nothing more: an
// alert then goes to the standard error and is answered with its last
// button (Cancel where there is one), so a repair never waits for a box
// that cannot come.
class MessageBoxAlerts final : public QObject, public Alerts
{
    Q_OBJECT
  public:
    explicit MessageBoxAlerts(QObject *parent = nullptr);
    void setParentWidget(QWidget *widget) { parentWidget_ = widget; }
    int runModal(const Alert &alert) override;

  private:
    int show(const Alert &alert);
    static int answerUnseen(const Alert &alert);
    QPointer<QWidget> parentWidget_;
    std::atomic<bool> quitting_{false};
};

} // namespace quillbox
