#pragma once

#include "app/core/repair/LibraryRepair.h"
#include "app/core/repair/RepairJournal.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <functional>

namespace quillbox
{

class AppWindow;

// The application object: it finds the companion's library folder at
// start-up, shows the window and runs a repair when asked. The window and
// the terminal front end both drive it.
class QBAppDelegate : public QObject
{
    Q_OBJECT
  public:
    explicit QBAppDelegate(RepairServices services, QObject *parent = nullptr);
    ~QBAppDelegate() override;

    // The window is not owned.
    [[nodiscard]] AppWindow *window() const { return window_; }
    void setWindow(AppWindow *window) { window_ = window; }

    // The library folder; empty when none was found. Safe from any thread.
    [[nodiscard]] QUrl libraryFileURL() const;
    void setLibraryFileURL(const QUrl &url);

    // The last repair's safety copy; empty before one was named.
    [[nodiscard]] QUrl backupFileURL() const;
    void setBackupFileURL(const QUrl &url);

    // Makes start-up use this folder instead of the companion's preferences.
    void setLibraryOverride(const QString &path) { libraryOverride_ = path; }
    // Where repairs in progress are recorded (default: the state folder).
    void setJournalPath(const QString &path) { journal_ = RepairJournal(path); }
    // The sqlite3 shell to run (default: the one in our libexec folder).
    void setShellExecutable(const QString &path) { shellExecutable_ = path; }
    // What a repair does with the recovered copy of a library beyond repair
    // (default: asks).
    void setRecoveredCopyUse(RecoveredCopyUse use) { recoveredCopyUse_ = use; }

    // Sets right a repair that an earlier run left unfinished, then finds
    // the library folder, then centres and shows the window.
    void applicationDidFinishLaunching();
    // Closing the window ends the utility.
    [[nodiscard]] static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // Starts a repair of the library folder in the background and returns at
    // once; does nothing while a repair runs.
    void fixLibrary();
    [[nodiscard]] bool isRepairing() const { return task_ == Task::Repair; }
    // Starts a check of the library folder in the background (see
    // LibraryRepair::checkLibrary()) and returns at once; does nothing while
    // a repair or a check runs.
    void checkLibrary();
    [[nodiscard]] bool isChecking() const { return task_ == Task::Check; }
    // Asks the running repair to stop while nothing in the library has
    // changed yet (see LibraryRepair::setCancelFlag()), or the running check
    // to stop. Only stores a flag, so it is safe from any thread and from a
    // signal handler.
    void cancelRepair() { cancelRequested_.store(true); }

  signals:
    void repairStarted();
    void progressChanged(quillbox::RepairStage stage, double fraction);
    void repairFinished(quillbox::RepairOutcome outcome);
    void checkStarted();
    void checkFinished(quillbox::CheckOutcome outcome);
    // After a successful repair, once the user has dismissed its report.
    void terminateRequested();

  private:
    enum class Task { None, Repair, Check };
    // Runs `work` on a thread of its own as `task`, announced by the signal
    // `started`; `finished` runs on this object's thread once it has ended.
    void runInBackground(Task task, void (QBAppDelegate::*started)(), std::function<void()> work,
                         std::function<void()> finished);

    RepairServices services_;
    AppWindow *window_ = nullptr;
    mutable QMutex mutex_;
    QUrl libraryFileURL_;
    QUrl backupFileURL_;
    QString libraryOverride_;
    QString shellExecutable_;
    RecoveredCopyUse recoveredCopyUse_ = RecoveredCopyUse::Ask;
    RepairJournal journal_{RepairJournal::defaultPath()};
    QThread *worker_ = nullptr;
    Task task_ = Task::None;
    std::atomic<bool> cancelRequested_{false};
};

} // namespace quillbox
