#include "app/core/texts/ExitStatus.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

namespace quillbox
{
namespace
{

// A status and what the help says of it (marked for translation in the
// context "ExitStatus"; nullptr: as for a repair).
struct Row {
    int status;
    const char *meaning;
};

Row rowOf(RepairOutcome outcome)
{
    switch (outcome) {
    case RepairOutcome::Fixed:
        return {0, QT_TRANSLATE_NOOP("ExitStatus", "the library was fixed")};
    case RepairOutcome::NoLibrary:
        return {2, QT_TRANSLATE_NOOP("ExitStatus", "no Quillbox library was found")};
    case RepairOutcome::CompanionRunning:
        return {3, QT_TRANSLATE_NOOP("ExitStatus", "Quillbox is running")};
    case RepairOutcome::ShellMissing:
        return {4, QT_TRANSLATE_NOOP("ExitStatus", "the utility's own sqlite3 shell is missing")};
    case RepairOutcome::SafetyCopyFailed:
        return {5, QT_TRANSLATE_NOOP("ExitStatus",
                                     "no safety copy could be saved (library untouched)")};
    case RepairOutcome::CorruptRestored:
        return {6, QT_TRANSLATE_NOOP("ExitStatus", "the library is beyond repair; it was restored "
                                                   "from its safety copy")};
    case RepairOutcome::CorruptNotRestored:
        return {7, QT_TRANSLATE_NOOP("ExitStatus",
                                     "the library is beyond repair and could not be restored; "
                                     "the safety copy stays beside it")};
    case RepairOutcome::UnsafeText:
        return {8, QT_TRANSLATE_NOOP("ExitStatus", "the library holds text the rebuild would cut "
                                                   "short; it was left as it was")};
    case RepairOutcome::NoSpace:
        return {9, QT_TRANSLATE_NOOP("ExitStatus", "too little free space on the library's disk; "
                                                   "nothing was changed")};
    case RepairOutcome::ReadOnly:
        return {10, QT_TRANSLATE_NOOP("ExitStatus", "the library or its folder cannot be written; "
                                                    "nothing was changed")};
    case RepairOutcome::WriteFailed:
        return {11, QT_TRANSLATE_NOOP("ExitStatus", "a write failed midway; the library was put "
                                                    "back from its safety copy")};
    case RepairOutcome::AlreadyRunning:
        return {12, QT_TRANSLATE_NOOP("ExitStatus", "another program is repairing this library; "
                                                    "nothing was changed")};
    case RepairOutcome::ShellFailed:
        return {14, QT_TRANSLATE_NOOP("ExitStatus",
                                      "the sqlite3 shell could not start or stopped responding; "
                                      "the library was put back from its safety copy")};
    case RepairOutcome::Locked:
        return {15, QT_TRANSLATE_NOOP("ExitStatus", "another program has the library's database "
                                                    "open; nothing was changed")};
    case RepairOutcome::RecoveredInUse:
        return {19, QT_TRANSLATE_NOOP("ExitStatus",
                                      "the library is beyond repair; its recovered copy took its "
                                      "place, and the damaged library stays beside it")};
    case RepairOutcome::Canceled:
        return {130,
                QT_TRANSLATE_NOOP("ExitStatus", "stopped with Ctrl+C before anything was changed")};
    }
    Q_UNREACHABLE();
    return {1, nullptr};
}

Row rowOf(CheckOutcome outcome)
{
    const auto asForARepair = [](RepairOutcome same) {
        return Row{rowOf(same).status, nullptr};
    };
    switch (outcome) {
    case CheckOutcome::Healthy:
        return {0, QT_TRANSLATE_NOOP("ExitStatus", "the library is healthy")};
    case CheckOutcome::Repairable:
        return {16, QT_TRANSLATE_NOOP("ExitStatus",
                                      "the library is damaged, and a repair would fix it exactly")};
    case CheckOutcome::BeyondRepair:
        return {17, QT_TRANSLATE_NOOP("ExitStatus",
                                      "the library is damaged beyond an exact repair: a repair "
                                      "would refuse it and save what can be read")};
    case CheckOutcome::JournalPending:
        return {18, QT_TRANSLATE_NOOP("ExitStatus",
                                      "the library's rollback journal would be rolled back by "
                                      "reading it, so it was not checked")};
    case CheckOutcome::ShellFailed:
        return {rowOf(RepairOutcome::ShellFailed).status,
                QT_TRANSLATE_NOOP("ExitStatus",
                                  "the sqlite3 shell could not start or stopped responding")};
    case CheckOutcome::NoLibrary:
        return asForARepair(RepairOutcome::NoLibrary);
    case CheckOutcome::CompanionRunning:
        return asForARepair(RepairOutcome::CompanionRunning);
    case CheckOutcome::ShellMissing:
        return asForARepair(RepairOutcome::ShellMissing);
    case CheckOutcome::AlreadyRunning:
        return asForARepair(RepairOutcome::AlreadyRunning);
    case CheckOutcome::Locked:
        return asForARepair(RepairOutcome::Locked);
    case CheckOutcome::Canceled:
        return asForARepair(RepairOutcome::Canceled);
    }
    Q_UNREACHABLE();
    return {1, nullptr};
}

// "  6  meaning" lines by rising status, each status once; the statuses
// without a meaning of their own share one last "as for a repair" line.
QString table(QList<Row> rows)
{
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return a.status < b.status; });
    QStringList lines;
    QStringList shared;
    int last = -1;
    for (const Row &row : rows) {
        if (row.status == last)
            continue;
        last = row.status;
        if (row.meaning == nullptr)
            shared.append(QString::number(row.status));
        else
            lines.append(QString::number(row.status).rightJustified(3) + u"  "_qs +
                         QCoreApplication::translate("ExitStatus", row.meaning));
    }
    if (!shared.isEmpty())
        lines.append(u"  "_qs + shared.join(u", "_qs) + u"  "_qs +
                     QCoreApplication::translate("ExitStatus", "as for a repair"));
    return lines.join(u'\n');
}

} // namespace

int exitStatus(RepairOutcome outcome)
{
    return rowOf(outcome).status;
}

int exitStatus(CheckOutcome outcome)
{
    return rowOf(outcome).status;
}

QString repairExitStatusTable()
{
    QList<Row> rows{
        {kCommandLineNotUnderstood,
         QT_TRANSLATE_NOOP("ExitStatus", "the command line was not understood")},
        {kNoRecoveredCopyWritten,
         QT_TRANSLATE_NOOP("ExitStatus", "(--salvage-only) no recovered copy was written")}};
    for (int i = 0; i <= static_cast<int>(kLastRepairOutcome); ++i)
        rows.append(rowOf(static_cast<RepairOutcome>(i)));
    return table(rows);
}

QString checkExitStatusTable()
{
    QList<Row> rows;
    for (int i = 0; i <= static_cast<int>(kLastCheckOutcome); ++i)
        rows.append(rowOf(static_cast<CheckOutcome>(i)));
    return table(rows);
}

} // namespace quillbox
