#include "app/core/texts/InterruptedRepairReport.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace quillbox
{
namespace
{

QString words(const char *text)
{
    return QCoreApplication::translate("InterruptedRepair", text);
}

// A swap of the recovered copy cut off: RecoveredInUse, RecoveredNotUsed,
// SwapUnclear. The three share their message.
Alert swapAlert(const SettledRepair &s)
{
    QString informative;
    if (s.how == Settled::RecoveredInUse)
        informative = words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                              "The recovered library is in use as “%1”; the "
                                              "damaged library is at “%2”."))
                          .arg(s.library, s.damaged);
    else if (s.how == Settled::RecoveredNotUsed)
        informative = words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                              "The library “%1” is as it was before that repair; "
                                              "the recovered copy is at “%2”."))
                          .arg(s.library, s.recovered);
    else
        informative = words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                              "The folders were left as they are. Look beside "
                                              "“%1” for the damaged library “%2” and the "
                                              "recovered copy “%3”."))
                          .arg(s.library, s.damaged, s.recovered);
    return {words(QT_TRANSLATE_NOOP(
                "InterruptedRepair",
                "An earlier repair was interrupted while it put the recovered library in place.")),
            informative,
            {}};
}

// A safety copy that could not be put back: CopyMissing, CopyChanged,
// NotPutBack.
Alert copyNotPutBackAlert(const SettledRepair &s)
{
    if (s.how == Settled::CopyMissing)
        return {words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                        "An earlier repair was interrupted, and its safety copy "
                                        "is missing.")),
                words(QT_TRANSLATE_NOOP("InterruptedRepair", "The library “%1” was left as it is."))
                    .arg(s.library),
                {}};
    if (s.how == Settled::CopyChanged)
        return {words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                        "An earlier repair was interrupted, and its safety copy is "
                                        "not as that repair made it.")),
                words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                        "Nothing was put back: the library “%1” and the folder "
                                        "“%2” were left as they are."))
                    .arg(s.library, s.backup),
                {}};
    return {words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "An earlier repair was interrupted, and the library could "
                                    "not be put back from its safety copy.")),
            words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "The complete safety copy is at “%1”. Put it in place of "
                                    "the library folder by hand."))
                .arg(s.backup),
            {}};
}

} // namespace

Alert settledAlert(const SettledRepair &s)
{
    switch (s.how) {
    case Settled::NotChanged:
        return {
            words(QT_TRANSLATE_NOOP(
                "InterruptedRepair",
                "An earlier repair was interrupted before it changed the library.")),
            words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "The library is as it was. You can start the repair again.")),
            {}};
    case Settled::PutBack:
        return {
            words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "An earlier repair was interrupted, so the library was put "
                                    "back from its safety copy.")),
            words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "The library is as it was before that repair. You can start "
                                    "the repair again.")),
            {}};
    case Settled::CopyMissing:
    case Settled::CopyChanged:
    case Settled::NotPutBack:
        return copyNotPutBackAlert(s);
    case Settled::RebuildKept:
        return {
            words(QT_TRANSLATE_NOOP(
                "InterruptedRepair",
                "An earlier repair was interrupted after the library had been rebuilt.")),
            words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                    "The rebuilt library was kept. Its safety copy is at “%1”."))
                .arg(s.backup),
            {}};
    case Settled::RecoveredInUse:
    case Settled::RecoveredNotUsed:
    case Settled::SwapUnclear:
        return swapAlert(s);
    case Settled::RecordUnreadable:
        return {words(QT_TRANSLATE_NOOP(
                    "InterruptedRepair",
                    "An earlier repair was interrupted, and its record cannot be read.")),
                words(QT_TRANSLATE_NOOP("InterruptedRepair",
                                        "Nothing was changed. Look beside the library folder for "
                                        "its safety copy, named “(Old Version)”.")),
                {}};
    }
    Q_UNREACHABLE();
    return {};
}

} // namespace quillbox
