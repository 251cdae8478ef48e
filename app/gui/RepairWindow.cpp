#include "app/gui/RepairWindow.h"

#include "app/core/Alerts.h"
#include "app/core/FolderLock.h"
#include "app/core/QBAppDelegate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUiLoader>
#include <QWidget>

namespace quillbox
{
namespace
{

QString stageText(RepairStage stage)
{
    switch (stage) {
    case RepairStage::SafetyCopy:
        return QCoreApplication::translate("RepairWindow", "Saving a safety copy of the library…");
    case RepairStage::Dump:
        return QCoreApplication::translate("RepairWindow", "Reading the damaged database…");
    case RepairStage::Check:
        return QCoreApplication::translate("RepairWindow", "Checking that everything was read…");
    case RepairStage::Rebuild:
        return QCoreApplication::translate("RepairWindow", "Rebuilding the database…");
    case RepairStage::Restore:
        return QCoreApplication::translate("RepairWindow", "Putting the safety copy back…");
    }
    return {};
}

std::unique_ptr<QWidget> loadForm()
{
    QFile form(QStringLiteral(":/ui/RepairWindow.ui"));
    form.open(QIODevice::ReadOnly);
    QUiLoader loader;
    std::unique_ptr<QWidget> widget(loader.load(&form));
    Q_ASSERT(widget != nullptr);
    return widget;
}

template<typename T> T *child(QWidget *widget, const char *name)
{
    auto *found = widget->findChild<T *>(QLatin1String(name));
    Q_ASSERT(found != nullptr);
    return found;
}

} // namespace

RepairWindow::RepairWindow(QBAppDelegate &delegate, Alerts &alerts, QObject *parent)
    : QObject(parent), delegate_(delegate), alerts_(alerts), widget_(loadForm()),
      libraryLabel_(child<QLabel>(widget_.get(), "libraryLabel")),
      stageLabel_(child<QLabel>(widget_.get(), "stageLabel")),
      progressBar_(child<QProgressBar>(widget_.get(), "progressBar")),
      repairButton_(child<QPushButton>(widget_.get(), "repairButton")),
      chooseButton_(child<QPushButton>(widget_.get(), "chooseButton")),
      chooseFolder_([](QWidget *parentWidget) {
          return QFileDialog::getExistingDirectory(
              parentWidget,
              QCoreApplication::translate("RepairWindow", "Choose the Quillbox Library"));
      })
{
    widget_->installEventFilter(this);
    connect(repairButton_, &QPushButton::clicked, &delegate_, &QBAppDelegate::fixLibrary);
    connect(chooseButton_, &QPushButton::clicked, this, &RepairWindow::chooseLibrary);
    connect(&delegate_, &QBAppDelegate::repairStarted, this, [this] { setBusy(true); });
    connect(&delegate_, &QBAppDelegate::progressChanged, this, &RepairWindow::showStage);
    connect(&delegate_, &QBAppDelegate::repairFinished, this, &RepairWindow::finishRepair);
    // Another program's repair of the same library may start or end at any
    // time; a look once a second keeps the button honest.
    lockWatch_ = new QTimer(this);
    lockWatch_->setInterval(1000);
    connect(lockWatch_, &QTimer::timeout, this, &RepairWindow::updateRepairButton);
    lockWatch_->start();
}

RepairWindow::~RepairWindow() = default;

void RepairWindow::center()
{
    const QScreen *screen = widget_->screen();
    if (screen != nullptr)
        widget_->move(screen->availableGeometry().center() - widget_->rect().center());
}

void RepairWindow::makeKeyAndOrderFront()
{
    showLibrary();
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
}

bool RepairWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == widget_.get() && event->type() == QEvent::Close && delegate_.isRepairing()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RepairWindow::showLibrary()
{
    const QString library = delegate_.libraryFileURL().toLocalFile();
    if (library.isEmpty()) {
        libraryLabel_->setText(QCoreApplication::translate(
            "RepairWindow", "No Quillbox library was found. Choose the library folder to repair."));
    } else {
        libraryLabel_->setText(
            QCoreApplication::translate("RepairWindow", "Library: %1").arg(library));
    }
    updateRepairButton();
}

void RepairWindow::updateRepairButton()
{
    if (delegate_.isRepairing())
        return;
    const QString library = delegate_.libraryFileURL().toLocalFile();
    const bool lockedElsewhere = !library.isEmpty() && isFolderLocked(library);
    if (lockedElsewhere != lockedElsewhere_) {
        lockedElsewhere_ = lockedElsewhere;
        stageLabel_->setText(lockedElsewhere
                                 ? QCoreApplication::translate(
                                       "RepairWindow", "Another program is repairing this library.")
                                 : QString());
    }
    repairButton_->setEnabled(!library.isEmpty() && !lockedElsewhere);
}

void RepairWindow::chooseLibrary()
{
    const QString folder = chooseFolder_(widget_.get());
    if (folder.isEmpty())
        return;
    if (!QFileInfo(folder + QStringLiteral("/Library.sqlite")).isFile()) {
        alerts_.runModal(
            {QCoreApplication::translate("RepairWindow", "This folder is not a Quillbox library."),
             QCoreApplication::translate("RepairWindow",
                                         "Choose the folder that holds “Library.sqlite”."),
             {}});
        return;
    }
    delegate_.setLibraryFileURL(QUrl::fromLocalFile(folder));
    showLibrary();
}

void RepairWindow::showStage(RepairStage stage, double fraction)
{
    // The whole repair is done only at 1; until then the stage is named.
    stageLabel_->setText(fraction >= 1.0 ? QCoreApplication::translate(
                                               "RepairWindow", "The library has been repaired.")
                                         : stageText(stage));
    progressBar_->setValue(
        std::max(progressBar_->value(), static_cast<int>(fraction * progressBar_->maximum())));
}

void RepairWindow::finishRepair(RepairOutcome outcome)
{
    setBusy(false);
    stageLabel_->setText(
        outcome == RepairOutcome::Fixed
            ? QCoreApplication::translate("RepairWindow", "The library has been repaired.")
            : QString());
    if (outcome != RepairOutcome::Fixed)
        progressBar_->setValue(0);
}

void RepairWindow::setBusy(bool busy)
{
    if (busy)
        progressBar_->setValue(0);
    chooseButton_->setEnabled(!busy);
    if (busy)
        repairButton_->setEnabled(false);
    else
        updateRepairButton();
}

} // namespace quillbox
