#include "app/core/texts/RecoveredCopyReport.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace quillbox
{

QString hindranceText(SwapHindrance hindrance, const QString &copy, const QString &detail)
{
    switch (hindrance) {
    case SwapHindrance::CompanionRunning:
        return QCoreApplication::translate("RecoveredCopy", "Quillbox is running.");
    case SwapHindrance::CopyInUse:
        return QCoreApplication::translate("RecoveredCopy", "Another program is using “%1”.")
            .arg(copy);
    case SwapHindrance::CopyUnlockable:
        return QCoreApplication::translate("RecoveredCopy", "The folder “%1” cannot be locked: %2.")
            .arg(copy, detail);
    case SwapHindrance::NotRecorded:
        return QCoreApplication::translate("RecoveredCopy",
                                           "The repair's record could not be written to “%1”.")
            .arg(detail);
    }
    return {};
}

Alert useRecoveredQuestion(const RecoveredSwap &swap)
{
    return {QCoreApplication::translate("RecoveredCopy",
                                        "Do you want to use the recovered library now?"),
            QCoreApplication::translate(
                "RecoveredCopy",
                "What could be read from the damaged library was saved in “%1”. If you use it, it "
                "takes the name “%2”, and the damaged library is renamed “%3” and stays beside it "
                "in “%4”. Nothing is deleted.")
                .arg(QFileInfo(swap.recovered).fileName(), QFileInfo(swap.library).fileName(),
                     QFileInfo(swap.damaged).fileName(), QFileInfo(swap.library).absolutePath()),
            {QCoreApplication::translate("RecoveredCopy", "Use Recovered Library"),
             QCoreApplication::translate("RecoveredCopy", "Keep As It Is")},
            {},
            DefaultButton::Last};
}

Alert swapAlert(const RecoveredSwap &swap, const SwapEnd &ended)
{
    const QString notInPlace = QCoreApplication::translate(
        "RecoveredCopy", "The recovered library could not be put in place.");
    switch (ended.result) {
    case SwapResult::Swapped:
        return {
            QCoreApplication::translate("RecoveredCopy", "The recovered library is now in use."),
            QCoreApplication::translate(
                "RecoveredCopy",
                "It has the library's name now: “%1”. The damaged library is kept as “%2”; "
                "delete it once you are sure you do not need it.")
                .arg(swap.library, swap.damaged),
            {}};
    case SwapResult::Unmoved:
        return {notInPlace,
                ended.why + u"\n\n"_qs +
                    QCoreApplication::translate("RecoveredCopy",
                                                "The library “%1” was left as it is, and the "
                                                "recovered copy is still at “%2”.")
                        .arg(swap.library, swap.recovered),
                {}};
    case SwapResult::Stranded:
        break;
    }
    return {notInPlace,
            ended.why + u"\n\n"_qs +
                QCoreApplication::translate("RecoveredCopy",
                                            "The damaged library is now at “%1” and the recovered "
                                            "copy at “%2”. Give one of them the name “%3” by hand.")
                    .arg(swap.damaged, swap.recovered, swap.library),
            {}};
}

} // namespace quillbox
