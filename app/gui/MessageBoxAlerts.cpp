#include "app/gui/MessageBoxAlerts.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace quillbox
{

int MessageBoxAlerts::runModal(const Alert &alert)
{
    if (QThread::currentThread() == thread())
        return show(alert);
    int answer = kFirstButton;
    QMetaObject::invokeMethod(
        this, [&] { answer = show(alert); }, Qt::BlockingQueuedConnection);
    return answer;
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
    const QStringList titles = alert.buttons.isEmpty()
                                   ? QStringList{QCoreApplication::translate("QBAppDelegate", "OK")}
                                   : alert.buttons;
    for (const QString &title : titles)
        buttons.append(box.addButton(title, QMessageBox::ActionRole));
    box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.setEscapeButton(buttons.last());
    box.exec();
    const qsizetype index = buttons.indexOf(box.clickedButton());
    return kFirstButton + static_cast<int>(index < 0 ? buttons.size() - 1 : index);
}

} // namespace quillbox
