#pragma once

#include "app/core/Alerts.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillbox
{

// Alerts as modal QMessageBoxes over the window. Called from a repair's
// thread, the box is shown by the GUI thread and the caller waits for it.
class MessageBoxAlerts final : public QObject, public Alerts
{
    Q_OBJECT
  public:
    explicit MessageBoxAlerts(QObject *parent = nullptr) : QObject(parent) {}
    void setParentWidget(QWidget *widget) { parentWidget_ = widget; }
    int runModal(const Alert &alert) override;

  private:
    int show(const Alert &alert);
    QPointer<QWidget> parentWidget_;
};

} // namespace quillbox
