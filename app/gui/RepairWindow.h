#pragma once

#include "app/core/frontend/AppWindow.h"
#include "app/core/repair/LibraryRepair.h"

#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace quillbox
{

class Alerts;
class QBAppDelegate;

// The controller of the utility's window, loaded from its Designer file. It
// names the library folder, starts the repair and shows its stage and
// progress, or checks the library without repairing it; while a repair or a
// check runs the window cannot be closed (closing asks it to stop) and its
// buttons are off.
class RepairWindow final : public QObject, public AppWindow
{
    Q_OBJECT
  public:
    RepairWindow(QBAppDelegate &delegate, Alerts &alerts, QObject *parent = nullptr);
    ~RepairWindow() override;

    [[nodiscard]] QWidget *widget() const { return widget_.get(); }

    // Asks the user for a library folder, starting in `startFolder`; returns
    // the chosen path or empty.
    using FolderChooser = std::function<QString(QWidget *parent, const QString &startFolder)>;
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    // Opens a folder in the file manager; false when nothing could.
    using FolderOpener = std::function<bool(const QUrl &folder)>;
    void setFolderOpener(FolderOpener opener) { openFolder_ = std::move(opener); }

    void center() override;
    void makeKeyAndOrderFront() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void addShortcuts();
    void repairFromKeyboard();
    void repairOrCancel();
    void chooseLibrary();
    void showLibrary();
    // Shortens the library's path in its middle to the label's width.
    void elideLibraryPath();
    // The smallest size at which no two texts overlap.
    void fitMinimumSize();
    void moveToCentre();
    void showStage(RepairStage stage, double fraction);
    void finishRepair(RepairOutcome outcome);
    // While a check runs, every button is off and the bar shows it is busy.
    void showChecking(bool checking);
    void showFolder();
    void setBusy(bool busy);
    // Repair and Check are on only with a library that no other program is
    // repairing.
    void updateRepairButton();

    QBAppDelegate &delegate_;
    Alerts &alerts_;
    std::unique_ptr<QWidget> widget_;
    QLabel *libraryLabel_ = nullptr;
    QLabel *stageLabel_ = nullptr;
    QProgressBar *progressBar_ = nullptr;
    QPushButton *repairButton_ = nullptr;
    QPushButton *checkButton_ = nullptr;
    bool canceling_ = false; // a cancel was asked for; the stage is not shown
    QPushButton *chooseButton_ = nullptr;
    // Shown when a repair that did not fix the library left copies beside it
    // (its safety copy, or what the salvage saved).
    QPushButton *showFolderButton_ = nullptr;
    FolderChooser chooseFolder_;
    FolderOpener openFolder_;
    QString libraryPath_;
    QTimer *lockWatch_ = nullptr;
    bool lockedElsewhere_ = false;
};

} // namespace quillbox
