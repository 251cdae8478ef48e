#pragma once

#include "app/core/LibraryRepair.h"
#include "app/core/RepairJournal.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QUrl>

#include <atomic>

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

    // Sets right a repair that an earlier run left unfinished, then finds
    // the library folder, then centres and shows the window.
    void applicationDidFinishLaunching();
    // Closing the window ends the utility.
    [[nodiscard]] static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // Starts a repair of the library folder in the background and returns at
    // once; does nothing while a repair runs.
    void fixLibrary();
    [[nodiscard]] bool isRepairing() const { return worker_ != nullptr; }
    // Asks the running repair to stop while nothing in the library has
    // changed yet; see LibraryRepair::setCancelFlag(). Only stores a flag,
    // so it is safe from any thread and from a signal handler.
    void cancelRepair() { cancelRequested_.store(true); }

  signals:
    void repairStarted();
    void progressChanged(quillbox::RepairStage stage, double fraction);
    void repairFinished(quillbox::RepairOutcome outcome);
    // After a successful repair, once the user has dismissed its report.
    void terminateRequested();

  private:
    RepairServices services_;
    AppWindow *window_ = nullptr;
    mutable QMutex mutex_;
    QUrl libraryFileURL_;
    QUrl backupFileURL_;
    QString libraryOverride_;
    QString shellExecutable_;
    RepairJournal journal_{RepairJournal::defaultPath()};
    QThread *worker_ = nullptr;
    std::atomic<bool> cancelRequested_{false};
};

} // namespace quillbox
