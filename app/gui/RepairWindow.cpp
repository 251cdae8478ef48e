#include "app/gui/RepairWindow.h"

#include "app/core/delegate/QBAppDelegate.h"
#include "app/core/frontend/Alerts.h"
#include "app/core/fs/FolderLock.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
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

// The form is built into the program, so one that cannot be loaded, or that
// lacks a widget, is a broken build: the program stops and says which part
// is missing rather than run on without it, in every build type.
std::unique_ptr<QWidget> loadForm()
{
    QFile form(QStringLiteral(":/ui/RepairWindow.ui"));
    if (!form.open(QIODevice::ReadOnly))
        qFatal("The window's form %s cannot be read: %s", qPrintable(form.fileName()),
               qPrintable(form.errorString()));
    QUiLoader loader;
    std::unique_ptr<QWidget> widget(loader.load(&form));
    if (widget == nullptr)
        qFatal("The window's form cannot be loaded: %s", qPrintable(loader.errorString()));
    return widget;
}

template<typename T> T *child(QWidget *widget, const char *name)
{
    auto *found = widget->findChild<T *>(QLatin1String(name));
    if (found == nullptr)
        qFatal("The window's form has no %s named \"%s\"", T::staticMetaObject.className(), name);
    return found;
}

} // namespace

RepairWindow::RepairWindow(QBAppDelegate &delegate, Alerts &alerts, QObject *parent)
    : QObject(parent), delegate_(delegate), alerts_(alerts), widget_(loadForm()),
      libraryLabel_(child<QLabel>(widget_.get(), "libraryLabel")),
      stageLabel_(child<QLabel>(widget_.get(), "stageLabel")),
      progressBar_(child<QProgressBar>(widget_.get(), "progressBar")),
      repairButton_(child<QPushButton>(widget_.get(), "repairButton")),
      checkButton_(child<QPushButton>(widget_.get(), "checkButton")),
      chooseButton_(child<QPushButton>(widget_.get(), "chooseButton")),
      showFolderButton_(child<QPushButton>(widget_.get(), "showFolderButton")),
      chooseFolder_([](QWidget *parentWidget, const QString &startFolder) {
          return QFileDialog::getExistingDirectory(
              parentWidget,
              QCoreApplication::translate("RepairWindow", "Choose the Quillbox Library"),
              startFolder);
      }),
      openFolder_([](const QUrl &folder) { return QDesktopServices::openUrl(folder); })
{
    widget_->installEventFilter(this);
    libraryLabel_->installEventFilter(this);
    addShortcuts();
    connect(repairButton_, &QPushButton::clicked, this, &RepairWindow::repairOrCancel);
    connect(checkButton_, &QPushButton::clicked, &delegate_, &QBAppDelegate::checkLibrary);
    connect(chooseButton_, &QPushButton::clicked, this, &RepairWindow::chooseLibrary);
    connect(showFolderButton_, &QPushButton::clicked, this, &RepairWindow::showFolder);
    connect(&delegate_, &QBAppDelegate::repairStarted, this, [this] { setBusy(true); });
    connect(&delegate_, &QBAppDelegate::progressChanged, this, &RepairWindow::showStage);
    connect(&delegate_, &QBAppDelegate::repairFinished, this, &RepairWindow::finishRepair);
    connect(&delegate_, &QBAppDelegate::checkStarted, this, [this] { showChecking(true); });
    connect(&delegate_, &QBAppDelegate::checkFinished, this, [this] { showChecking(false); });
    // Another program's repair of the same library may start or end at any
    // time; a look once a second keeps the button honest.
    lockWatch_ = new QTimer(this);
    lockWatch_->setInterval(1000);
    connect(lockWatch_, &QTimer::timeout, this, &RepairWindow::updateRepairButton);
    lockWatch_->start();
}

RepairWindow::~RepairWindow() = default;

void RepairWindow::addShortcuts()
{
    // The window is no dialog, so its default button needs Return handed to
    // it; the closing keys go through close(), which is refused mid-repair.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, widget_.get());
        connect(shortcut, &QShortcut::activated, this, &RepairWindow::repairFromKeyboard);
    }
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Q),
          QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto *shortcut = new QShortcut(keys, widget_.get());
        connect(shortcut, &QShortcut::activated, widget_.get(), &QWidget::close);
    }
}

void RepairWindow::repairFromKeyboard()
{
    // Return starts a repair; it never cancels one.
    if (repairButton_->isEnabled() && !delegate_.isRepairing())
        repairButton_->click();
}

void RepairWindow::repairOrCancel()
{
    if (!delegate_.isRepairing()) {
        delegate_.fixLibrary();
        return;
    }
    delegate_.cancelRepair();
    canceling_ = true;
    repairButton_->setEnabled(false);
    stageLabel_->setText(QCoreApplication::translate("RepairWindow", "Canceling…"));
}

void RepairWindow::center()
{
    // The texts decide the size, so they are in place before it is taken.
    showLibrary();
    fitMinimumSize();
    widget_->resize(widget_->size().expandedTo(widget_->minimumSize()));
    moveToCentre();
}

void RepairWindow::moveToCentre()
{
    // The frame counts: it is known once the window is shown.
    const QScreen *screen = widget_->screen();
    if (screen != nullptr)
        widget_->move(screen->availableGeometry().center() -
                      widget_->frameGeometry().translated(-widget_->pos()).center());
}

void RepairWindow::fitMinimumSize()
{
    // The word-wrapped labels need more height the narrower they are, so at
    // the layout's narrowest they need the most: the window never gets
    // shorter than that, and no label is pushed over another.
    const int width = widget_->minimumSizeHint().width();
    const int height =
        std::max(widget_->minimumSizeHint().height(), widget_->heightForWidth(width));
    widget_->setMinimumSize(width, height);
}

void RepairWindow::makeKeyAndOrderFront()
{
    showLibrary();
    const bool shown = widget_->isVisible();
    widget_->show();
    if (!shown)
        moveToCentre();
    widget_->raise();
    widget_->activateWindow();
}

bool RepairWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Closing the window mid-repair cancels the repair if it still can be;
    // the window stays until the repair has ended and said how.
    // A check is asked to stop, and the window stays until it has.
    if (watched == widget_.get() && event->type() == QEvent::Close && delegate_.isChecking()) {
        delegate_.cancelRepair();
        event->ignore();
        return true;
    }
    if (watched == widget_.get() && event->type() == QEvent::Close && delegate_.isRepairing()) {
        if (repairButton_->isEnabled())
            repairOrCancel();
        event->ignore();
        return true;
    }
    // A text that changed may need more height at the narrowest width.
    if (watched == widget_.get() && event->type() == QEvent::LayoutRequest)
        fitMinimumSize();
    if (watched == libraryLabel_ && event->type() == QEvent::Resize)
        elideLibraryPath();
    return QObject::eventFilter(watched, event);
}

void RepairWindow::showLibrary()
{
    libraryPath_ = delegate_.libraryFileURL().toLocalFile();
    // A path is one line, shortened to fit; the sentence without one wraps.
    libraryLabel_->setWordWrap(libraryPath_.isEmpty());
    libraryLabel_->setToolTip(libraryPath_);
    elideLibraryPath();
    updateRepairButton();
}

void RepairWindow::elideLibraryPath()
{
    if (libraryPath_.isEmpty()) {
        libraryLabel_->setText(QCoreApplication::translate(
            "RepairWindow", "No Quillbox library was found. Choose the library folder to repair."));
        return;
    }
    // Only the path gives way, in its middle, so that where it starts and
    // the library's own name at its end stay readable.
    const QString line = QCoreApplication::translate("RepairWindow", "Library: %1");
    const QFontMetrics metrics(libraryLabel_->font());
    const int room = libraryLabel_->contentsRect().width() -
                     metrics.horizontalAdvance(line.arg(QString())) - 2 * libraryLabel_->margin();
    libraryLabel_->setText(
        line.arg(metrics.elidedText(libraryPath_, Qt::ElideMiddle, std::max(room, 0))));
}

void RepairWindow::updateRepairButton()
{
    if (delegate_.isRepairing() || delegate_.isChecking())
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
    checkButton_->setEnabled(repairButton_->isEnabled());
}

void RepairWindow::chooseLibrary()
{
    const QString folder = chooseFolder_(widget_.get(), QDir::homePath());
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
    // Once the damaged database goes, the repair runs to its end.
    if (stage != RepairStage::SafetyCopy && stage != RepairStage::Dump)
        repairButton_->setEnabled(false);
    if (canceling_)
        return;
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
    // A safety copy kept, a recovered copy made, or the damaged library that
    // a recovered copy replaced, stands beside the library.
    const QString library = delegate_.libraryFileURL().toLocalFile();
    const QString parent = QFileInfo(library).absolutePath();
    const QString base = QFileInfo(library).completeBaseName();
    const bool copiesBeside =
        outcome == RepairOutcome::RecoveredInUse ||
        QFileInfo::exists(delegate_.backupFileURL().toLocalFile()) ||
        !QDir(parent).entryList({base + QStringLiteral(" (Recovered)*")}, QDir::Dirs).isEmpty();
    showFolderButton_->setVisible(outcome != RepairOutcome::Fixed && !library.isEmpty() &&
                                  copiesBeside);
}

void RepairWindow::showChecking(bool checking)
{
    chooseButton_->setEnabled(!checking);
    repairButton_->setEnabled(false);
    checkButton_->setEnabled(false);
    stageLabel_->setText(checking
                             ? QCoreApplication::translate("RepairWindow", "Checking the library…")
                             : QString());
    // How long a check takes is not known ahead: the bar only moves.
    progressBar_->setRange(0, checking ? 0 : 1000);
    progressBar_->setValue(0);
    if (!checking)
        updateRepairButton();
}

void RepairWindow::showFolder()
{
    const QString parent = QFileInfo(delegate_.libraryFileURL().toLocalFile()).absolutePath();
    if (!openFolder_(QUrl::fromLocalFile(parent)))
        alerts_.runModal(
            {QCoreApplication::translate("RepairWindow", "The folder could not be opened."),
             QCoreApplication::translate("RepairWindow",
                                         "No file manager opened “%1”. Open it by hand.")
                 .arg(parent),
             {}});
}

void RepairWindow::setBusy(bool busy)
{
    if (busy)
        progressBar_->setValue(0);
    canceling_ = false;
    chooseButton_->setEnabled(!busy);
    checkButton_->setEnabled(!busy);
    // While a repair copies and reads the library, its button cancels it.
    repairButton_->setText(busy ? QCoreApplication::translate("RepairWindow", "Cancel Repair")
                                : QCoreApplication::translate("RepairWindow", "Repair Library"));
    if (busy)
        repairButton_->setEnabled(true);
    else
        updateRepairButton();
}

} // namespace quillbox
