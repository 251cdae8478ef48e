#include "app/cli/TerminalAlerts.h"

#include "app/core/delegate/QBAppDelegate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace quillbox
{

void ProgressLine::show(int percent)
{
    const QMutexLocker lock(&mutex_);
    if (!shown_ || percent == drawn_)
        return;
    drawn_ = percent;
    std::fprintf(stderr, "\r%s %3d%%",
                 qPrintable(QCoreApplication::translate("Terminal", "Repairing…")), percent);
    std::fflush(stderr);
}

void ProgressLine::clear()
{
    const QMutexLocker lock(&mutex_);
    if (drawn_ < 0)
        return;
    drawn_ = -1;
    // Back to the start of the line and erase to its end.
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

int TerminalAlerts::runModal(const Alert &alert)
{
    const QMutexLocker lock(&mutex_);
    progress_.clear();
    QTextStream out(stdout);
    out << Qt::endl << alert.messageText << Qt::endl;
    if (!alert.informativeText.isEmpty())
        out << alert.informativeText << Qt::endl;
    if (!alert.detailedText.isEmpty())
        out << alert.detailedText.trimmed() << Qt::endl;
    out.flush();
    if (alert.buttons.size() <= 1)
        return kFirstButton;
    return ask(alert.buttons);
}

int TerminalAlerts::ask(const QStringList &buttons)
{
    QTextStream out(stdout);
    const int last = kFirstButton + static_cast<int>(buttons.size()) - 1;
    if (isatty(STDIN_FILENO) == 0) {
        out << QCoreApplication::translate("Terminal", "No terminal to ask: choosing “%1”.")
                   .arg(buttons.last())
            << Qt::endl;
        return last;
    }
    QTextStream in(stdin);
    for (;;) {
        for (qsizetype i = 0; i < buttons.size(); ++i)
            out << "  " << i + 1 << ") " << buttons[i] << Qt::endl;
        out << QCoreApplication::translate("Terminal", "Choose 1-%1: ").arg(buttons.size())
            << Qt::flush;
        const QString line = in.readLine();
        if (line.isNull())
            return last;
        bool ok = false;
        const int choice = line.trimmed().toInt(&ok);
        if (ok && choice >= 1 && choice <= buttons.size())
            return kFirstButton + choice - 1;
    }
}

void TerminalWorkspace::openUrl(const QUrl &url)
{
    progress_.clear();
    QTextStream out(stdout);
    if (url.scheme() == QLatin1String("mailto")) {
        out << QCoreApplication::translate("Terminal", "Write to Quillbox Support at %1.")
                   .arg(url.path())
            << Qt::endl;
        printedAddress_ = true;
    } else {
        out << (url.isLocalFile() ? url.toLocalFile() : url.toString()) << Qt::endl;
    }
}

void TerminalWindow::makeKeyAndOrderFront()
{
    const QString library = delegate_.libraryFileURL().toLocalFile();
    if (QFileInfo(library).isDir()) {
        QTextStream(stdout) << QCoreApplication::translate("Terminal", "Library: %1").arg(library)
                            << Qt::endl;
    }
}

} // namespace quillbox
