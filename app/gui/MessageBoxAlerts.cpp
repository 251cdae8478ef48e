#include "app/gui/MessageBoxAlerts.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <memory>

namespace quillbox
{

MessageBoxAlerts::MessageBoxAlerts(QObject *parent) : QObject(parent)
{
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { quitting_.store(true); });
}

int MessageBoxAlerts::answerUnseen(const Alert &alert)
{
    QTextStream(stderr) << alert.messageText << Qt::endl << alert.informativeText << Qt::endl;
    return kFirstButton + static_cast<int>(std::max<qsizetype>(alert.buttons.size(), 1) - 1);
}

int MessageBoxAlerts::runModal(const Alert &alert)
{
    if (QThread::currentThread() == thread())
        return quitting_.load() ? answerUnseen(alert) : show(alert);
    // The box is asked for and waited on in steps, so that a quit meanwhile
    // ends the wait; the state outlives a request the GUI thread never runs.
    struct Request {
        QSemaphore done;
        int answer = kFirstButton;
    };
    auto request = std::make_shared<Request>();
    QMetaObject::invokeMethod(
        this,
        [this, request, alert] {
            request->answer = quitting_.load() ? answerUnseen(alert) : show(alert);
            request->done.release();
        },
        Qt::QueuedConnection);
    while (!request->done.tryAcquire(1, 100)) {
        if (quitting_.load())
            return answerUnseen(alert);
    }
    return request->answer;
}

int MessageBoxAlerts::show(const Alert &alert)
{
    QMessageBox box(parentWidget_);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(QCoreApplication::translate("MessageBoxAlerts", "Quillbox Repair"));
    box.setIcon(alert.buttons.size() > 1 ? QMessageBox::Warning : QMessageBox::Information);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    // Behind "Show Details…", which QMessageBox adds only for a non-empty text.
    box.setDetailedText(alert.detailedText);
    // One role for every button keeps them in the order they were added.
    QList<QAbstractButton *> buttons;
    const QStringList titles =
        alert.buttons.isEmpty() ? QStringList{QCoreApplication::translate("MessageBoxAlerts", "OK")}
                                : alert.buttons;
    for (const QString &title : titles)
        buttons.append(box.addButton(title, QMessageBox::ActionRole));
    box.setDefaultButton(qobject_cast<QPushButton *>(
        alert.defaultButton == DefaultButton::Last ? buttons.last() : buttons.first()));
    box.setEscapeButton(buttons.last());
    box.exec();
    const qsizetype index = buttons.indexOf(box.clickedButton());
    return kFirstButton + static_cast<int>(index < 0 ? buttons.size() - 1 : index);
}

} // namespace quillbox
