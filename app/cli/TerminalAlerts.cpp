#include "app/cli/TerminalAlerts.h"

#include "app/core/QBAppDelegate.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace quillbox
{
namespace
{

} // namespace

int TerminalAlerts::runModal(const Alert &alert)
{
    const QMutexLocker lock(&mutex_);
    QTextStream out(stdout);
    out << Qt::endl << alert.messageText << Qt::endl;
    if (!alert.informativeText.isEmpty())
        out << alert.informativeText << Qt::endl;
    if (alert.buttons.size() <= 1)
        return kFirstButton;

    if (isatty(STDIN_FILENO) == 0) {
        out << QCoreApplication::translate("Terminal", "No terminal to ask: choosing “%1”.")
                   .arg(alert.buttons.last())
            << Qt::endl;
        return kFirstButton + static_cast<int>(alert.buttons.size()) - 1;
    }
    QTextStream in(stdin);
    for (;;) {
        for (qsizetype i = 0; i < alert.buttons.size(); ++i)
            out << "  " << i + 1 << ") " << alert.buttons[i] << Qt::endl;
        out << QCoreApplication::translate("Terminal", "Choose 1-%1: ").arg(alert.buttons.size())
            << Qt::flush;
        const QString line = in.readLine();
        if (line.isNull())
            return kFirstButton + static_cast<int>(alert.buttons.size()) - 1;
        bool ok = false;
        const int choice = line.trimmed().toInt(&ok);
        if (ok && choice >= 1 && choice <= alert.buttons.size())
            return kFirstButton + choice - 1;
    }
}

void TerminalWorkspace::openUrl(const QUrl &url)
{
    QTextStream(stdout)
        << QCoreApplication::translate("Terminal", "Write to us at: %1").arg(url.toString())
        << Qt::endl;
}

void TerminalWindow::makeKeyAndOrderFront()
{
    const QString library = delegate_.libraryFileURL().toLocalFile();
    QTextStream(stdout)
        << (library.isEmpty()
                ? QCoreApplication::translate("Terminal", "No Quillbox library was found.")
                : QCoreApplication::translate("Terminal", "Library: %1").arg(library))
        << Qt::endl;
}

} // namespace quillbox
