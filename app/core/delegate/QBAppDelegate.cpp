#include "app/core/delegate/QBAppDelegate.h"

#include "app/core/companion/Bookmark.h"
#include "app/core/companion/Companion.h"
#include "app/core/companion/CompanionApps.h"
#include "app/core/companion/Preferences.h"
#include "app/core/frontend/AppWindow.h"
#include "app/core/interrupted/InterruptedRepair.h"

#include <QMutexLocker>

namespace quillbox
{

QBAppDelegate::QBAppDelegate(RepairServices services, QObject *parent)
    : QObject(parent), services_(services), shellExecutable_(SqliteShell::defaultExecutable())
{
    qRegisterMetaType<quillbox::RepairStage>();
    qRegisterMetaType<quillbox::RepairOutcome>();
    qRegisterMetaType<quillbox::CheckOutcome>();
}

QBAppDelegate::~QBAppDelegate()
{
    // A repair still running when the application ends stops if it still
    // can; otherwise it is waited for, since it is replacing the database.
    if (worker_ != nullptr) {
        cancelRepair();
        worker_->wait();
    }
}

QUrl QBAppDelegate::libraryFileURL() const
{
    const QMutexLocker lock(&mutex_);
    return libraryFileURL_;
}

void QBAppDelegate::setLibraryFileURL(const QUrl &url)
{
    const QMutexLocker lock(&mutex_);
    libraryFileURL_ = url;
}

QUrl QBAppDelegate::backupFileURL() const
{
    const QMutexLocker lock(&mutex_);
    return backupFileURL_;
}

void QBAppDelegate::setBackupFileURL(const QUrl &url)
{
    const QMutexLocker lock(&mutex_);
    backupFileURL_ = url;
}

void QBAppDelegate::applicationDidFinishLaunching()
{
    if (const auto recovered = settleInterruptedRepair(journal_))
        services_.alerts.runModal(*recovered);
    setLibraryFileURL({});
    const bool alternateInstalled = services_.apps.isInstalled(companion::kAlternateIdentifier);
    if (!libraryOverride_.isEmpty()) {
        setLibraryFileURL(QUrl::fromLocalFile(libraryOverride_));
    } else if (!alternateInstalled) {
        if (const auto bookmark = readLibraryLocation()) {
            const auto folder = resolveBookmarkData(*bookmark);
            setLibraryFileURL(folder ? QUrl::fromLocalFile(*folder) : QUrl());
        }
    }
    if (window_ != nullptr) {
        window_->center();
        window_->makeKeyAndOrderFront();
    }
}

void QBAppDelegate::runInBackground(Task task, void (QBAppDelegate::*started)(),
                                    std::function<void()> work, std::function<void()> finished)
{
    cancelRequested_.store(false);
    task_ = task;
    worker_ = QThread::create(std::move(work));
    connect(worker_, &QThread::finished, this, [this, finished = std::move(finished)] {
        worker_->deleteLater();
        worker_ = nullptr;
        task_ = Task::None;
        finished();
    });
    emit(this->*started)();
    worker_->start();
}

void QBAppDelegate::fixLibrary()
{
    if (worker_ != nullptr)
        return;
    const QString library = libraryFileURL().toLocalFile();
    auto outcome = std::make_shared<RepairOutcome>(RepairOutcome::NoLibrary);
    runInBackground(
        Task::Repair, &QBAppDelegate::repairStarted,
        [this, library, outcome] {
            LibraryRepair repair(services_, SqliteShell(shellExecutable_), library);
            repair.setCancelFlag(&cancelRequested_);
            repair.setProgress([this](RepairStage stage, double fraction) {
                emit progressChanged(stage, fraction);
            });
            repair.setJournal(&journal_);
            repair.setRecoveredCopyUse(recoveredCopyUse_);
            repair.setBackupChosen(
                [this](const QString &path) { setBackupFileURL(QUrl::fromLocalFile(path)); });
            *outcome = repair.fixLibrary();
        },
        [this, outcome] {
            emit repairFinished(*outcome);
            if (*outcome == RepairOutcome::Fixed)
                emit terminateRequested();
        });
}

void QBAppDelegate::checkLibrary()
{
    if (worker_ != nullptr)
        return;
    const QString library = libraryFileURL().toLocalFile();
    auto outcome = std::make_shared<CheckOutcome>(CheckOutcome::NoLibrary);
    runInBackground(
        Task::Check, &QBAppDelegate::checkStarted,
        [this, library, outcome] {
            // The journal only lends its folder's lock, as it does to a repair.
            LibraryRepair check(services_, SqliteShell(shellExecutable_), library);
            check.setCancelFlag(&cancelRequested_);
            check.setJournal(&journal_);
            *outcome = check.checkLibrary();
        },
        [this, outcome] { emit checkFinished(*outcome); });
}

} // namespace quillbox
