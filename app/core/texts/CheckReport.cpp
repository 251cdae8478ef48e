#include "app/core/texts/CheckReport.h"

#include "app/core/outcomes/RepairOutcome.h"
#include "app/core/texts/RepairReport.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtGlobal>

namespace quillbox
{
namespace
{

// What a repair would do about a damaged b-tree of `role`, for its name.
QString treeLine(DamageVerdict::Tree::Role role)
{
    switch (role) {
    case DamageVerdict::Tree::Role::Index:
        return QCoreApplication::translate(
            "LibraryCheck", "Index “%1”: damaged. It can be rebuilt exactly from its table.");
    case DamageVerdict::Tree::Role::TextIndex:
        return QCoreApplication::translate(
            "LibraryCheck", "Full-text index “%1”: damaged. A repair would build it anew from "
                            "the text it indexes, which is intact.");
    case DamageVerdict::Tree::Role::Table:
        break;
    }
    return QCoreApplication::translate(
        "LibraryCheck",
        "Table “%1”: damaged; rows are lost. A repair would refuse and save what can be read.");
}

// One line for each damaged table and index, and for what else the check
// found, each with what a repair would do about it.
QStringList damageLines(const DamageVerdict &verdict)
{
    QStringList lines;
    for (const DamageVerdict::Tree &tree : verdict.trees)
        lines.append(treeLine(tree.role).arg(tree.name));
    if (verdict.unreachedRows)
        lines.append(QCoreApplication::translate(
            "LibraryCheck",
            "Pages that no table or index reaches still hold rows: a table lost part "
            "of its tree, or its entry in the schema. A repair would refuse and save "
            "what can be read."));
    else if (verdict.unreachedPages > 0)
        lines.append(QCoreApplication::translate(
            "LibraryCheck",
            "Pages that no table or index reaches hold no rows. A repair gives them "
            "back."));
    if (verdict.freelistDamaged)
        lines.append(QCoreApplication::translate(
            "LibraryCheck",
            "The list of free pages is damaged. A repair gives the free pages back."));
    if (verdict.cutShort)
        lines.append(QCoreApplication::translate(
            "LibraryCheck", "SQLite's check stopped at damage it could not read past, so what "
                            "lies beyond is unknown. A repair would refuse and save what can be "
                            "read."));
    if (!verdict.unplaced.isEmpty())
        lines.append(QCoreApplication::translate(
                         "LibraryCheck",
                         "The check found damage that it cannot place in a table or an index. A "
                         "repair would refuse and save what can be read. SQLite's check said:") +
                     u'\n' + verdict.unplaced.join(u'\n'));
    return lines;
}

} // namespace

CheckOutcome checkOutcomeOf(const std::optional<DamageVerdict> &verdict)
{
    if (!verdict)
        return CheckOutcome::BeyondRepair;
    switch (verdict->kind) {
    case DamageVerdict::Kind::Intact:
        return CheckOutcome::Healthy;
    case DamageVerdict::Kind::Repairable:
        return CheckOutcome::Repairable;
    case DamageVerdict::Kind::RowsLost:
        break;
    }
    return CheckOutcome::BeyondRepair;
}

CheckOutcome checkOutcomeOf(Cause cause)
{
    switch (cause) {
    case Cause::NoLibrary:
    case Cause::NoDatabase:
    case Cause::DatabaseNotPlain:
    case Cause::DatabaseEmpty:
    case Cause::FolderUnopenable:
        return CheckOutcome::NoLibrary;
    case Cause::AlreadyRunning:
        return CheckOutcome::AlreadyRunning;
    case Cause::CompanionRunning:
        return CheckOutcome::CompanionRunning;
    case Cause::ShellMissing:
        return CheckOutcome::ShellMissing;
    case Cause::Locked:
        return CheckOutcome::Locked;
    case Cause::Canceled:
        return CheckOutcome::Canceled;
    case Cause::Corrupt:
        return CheckOutcome::BeyondRepair;
    case Cause::LockUnsupported:
    case Cause::ReadOnly:
    case Cause::NoSpace:
    case Cause::CopyFailed:
    case Cause::CopyNotReadBack:
    case Cause::CopyNotFlushed:
    case Cause::UnsafeText:
    case Cause::DiskWrite:
    case Cause::ShellNotStarted:
    case Cause::ShellStopped:
    case Cause::ShellKilled:
        // The rest stop a check only through its shell.
        return CheckOutcome::ShellFailed;
    }
    Q_UNREACHABLE();
    return {};
}

Alert verdictAlert(const std::optional<DamageVerdict> &verdict, const QString &library,
                   const QString &shellSaid)
{
    const QString unchanged =
        QCoreApplication::translate("LibraryCheck", "The check changed nothing in the library.");
    switch (checkOutcomeOf(verdict)) {
    case CheckOutcome::Healthy:
        return {QCoreApplication::translate("LibraryCheck", "The library is healthy."),
                QCoreApplication::translate("LibraryCheck", "SQLite's check found no damage in "
                                                            "“%1”.")
                        .arg(library) +
                    u' ' + unchanged,
                {}};
    case CheckOutcome::Repairable:
        return {QCoreApplication::translate(
                    "LibraryCheck", "The library is damaged, and a repair would fix it exactly."),
                QCoreApplication::translate(
                    "LibraryCheck",
                    "Every row is still in its table, so a repair rebuilds what is damaged from "
                    "them.") +
                    u' ' + unchanged,
                {},
                damageLines(*verdict).join(u'\n')};
    case CheckOutcome::BeyondRepair:
    case CheckOutcome::NoLibrary:
    case CheckOutcome::AlreadyRunning:
    case CheckOutcome::CompanionRunning:
    case CheckOutcome::ShellMissing:
    case CheckOutcome::Locked:
    case CheckOutcome::JournalPending:
    case CheckOutcome::ShellFailed:
    case CheckOutcome::Canceled:
        break;
    }
    const QString lines =
        verdict ? damageLines(*verdict).join(u'\n')
                : QCoreApplication::translate(
                      "LibraryCheck",
                      "The database could not be read at all. A repair would refuse and save "
                      "what can be read. The SQLite shell said:\n%1")
                      .arg(shellSaid);
    return {QCoreApplication::translate("LibraryCheck",
                                        "The library is damaged beyond an exact repair."),
            QCoreApplication::translate(
                "LibraryCheck",
                "Some rows are lost or cannot be read, so a repair would refuse, leave the library "
                "as it was and save what can be read into a new folder beside it. Contact Quillbox "
                "Support for further assistance.") +
                u' ' + unchanged,
            {},
            lines};
}

Alert checkRefusalAlert(const Failure &failure, const QString &library)
{
    switch (checkOutcomeOf(failure.cause)) {
    case CheckOutcome::ShellFailed:
        return {QCoreApplication::translate("LibraryCheck",
                                            "The SQLite shell could not finish the check."),
                QCoreApplication::translate(
                    "LibraryCheck",
                    "Nothing in the library was changed. Try again; if it happens again, contact "
                    "Quillbox Support."),
                {},
                failure.detail};
    case CheckOutcome::NoLibrary:
        if (failure.cause == Cause::FolderUnopenable)
            return {
                QCoreApplication::translate("LibraryCheck", "The library cannot be checked."),
                QCoreApplication::translate("LibraryCheck", "The folder “%1” cannot be opened: %2.")
                    .arg(failure.path, failure.detail),
                {}};
        break;
    case CheckOutcome::Healthy:
    case CheckOutcome::Repairable:
    case CheckOutcome::BeyondRepair:
    case CheckOutcome::AlreadyRunning:
    case CheckOutcome::CompanionRunning:
    case CheckOutcome::ShellMissing:
    case CheckOutcome::Locked:
    case CheckOutcome::JournalPending:
    case CheckOutcome::Canceled:
        break;
    }
    return failureAlert(failure, {library, {}});
}

Alert journalPendingAlert(const QString &library)
{
    return {QCoreApplication::translate("LibraryCheck",
                                        "The library cannot be checked without changing it."),
            QCoreApplication::translate(
                "LibraryCheck",
                "“Library.sqlite-journal” in “%1” holds a change that was cut off, which the "
                "first read of the database rolls back (or deletes, if it is no journal). The "
                "check changed nothing. Repair the library, or open it in Quillbox, then check it "
                "again.")
                .arg(library),
            {}};
}
} // namespace quillbox
