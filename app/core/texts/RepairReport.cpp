#include "app/core/texts/RepairReport.h"

#include "app/core/companion/Companion.h"
#include "app/core/outcomes/RepairOutcome.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtGlobal>

namespace quillbox
{
namespace
{

// The sentence naming what a stopped repair made and could not remove.
QString leftoversSentence(const QStringList &leftovers)
{
    if (leftovers.isEmpty())
        return {};
    QStringList quoted;
    for (const QString &path : leftovers)
        quoted.append(u"“"_qs + path + u"”"_qs);
    return u"\n\n"_qs + QCoreApplication::translate(
                            "RepairReport",
                            "The repair could not remove what it had made so far; you can delete "
                            "it: %1.")
                            .arg(quoted.join(u", "_qs));
}

// "This folder holds no Quillbox library to repair.", and why: NoLibrary,
// NoDatabase, DatabaseNotPlain, DatabaseEmpty.
Alert notALibraryAlert(const Failure &failure, const RepairPlaces &places)
{
    if (failure.cause == Cause::NoLibrary)
        return {
            QCoreApplication::translate("RepairReport", "No Quillbox library was found."),
            QCoreApplication::translate("RepairReport", "Choose the library folder and try again."),
            {}};
    const QString title = QCoreApplication::translate(
        "RepairReport", "This folder holds no Quillbox library to repair.");
    if (failure.cause == Cause::NoDatabase)
        return {title,
                QCoreApplication::translate("RepairReport", "There is no “%1” in “%2”.")
                    .arg(failure.path, places.library),
                {}};
    if (failure.cause == Cause::DatabaseNotPlain)
        return {
            title,
            QCoreApplication::translate(
                "RepairReport", "“%1” is not a plain file (it is a folder, a link or a device).")
                .arg(failure.path),
            {}};
    return {title,
            QCoreApplication::translate("RepairReport",
                                        "“%1” is empty, so there is nothing to rebuild. Look for "
                                        "an older copy of your library.")
                .arg(failure.path),
            {}};
}

// "The library cannot be changed.", and why: LockUnsupported,
// FolderUnopenable, ReadOnly.
Alert unchangeableAlert(const Failure &failure)
{
    const QString title =
        QCoreApplication::translate("RepairReport", "The library cannot be changed.");
    if (failure.cause == Cause::LockUnsupported)
        return {title, lockUnsupportedText(failure.path, failure.detail), {}};
    if (failure.cause == Cause::FolderUnopenable)
        return {title,
                QCoreApplication::translate("RepairReport", "The folder “%1” cannot be opened: %2.")
                    .arg(failure.path, failure.detail),
                {}};
    return {title,
            QCoreApplication::translate("RepairReport", "The folder “%1” cannot be written to: %2.")
                .arg(failure.path, failure.detail),
            {}};
}

// Something else stands in the way for now: AlreadyRunning,
// CompanionRunning, ShellMissing, NoSpace.
Alert notNowAlert(const Failure &failure)
{
    if (failure.cause == Cause::AlreadyRunning)
        return {QCoreApplication::translate("RepairReport", "A repair is already running."),
                QCoreApplication::translate(
                    "RepairReport",
                    "Another Quillbox Repair is working on this library. Wait until it has "
                    "finished, then try again if need be."),
                {}};
    if (failure.cause == Cause::CompanionRunning)
        return {QCoreApplication::translate("RepairReport", "Quillbox is running."),
                QCoreApplication::translate("RepairReport", "Quit Quillbox and try again."),
                {}};
    if (failure.cause == Cause::ShellMissing)
        return {QCoreApplication::translate("RepairReport", "The repair tool is incomplete."),
                QCoreApplication::translate("RepairReport",
                                            "The SQLite shell was not found at “%1”. Reinstall "
                                            "Quillbox Repair and try again.")
                    .arg(failure.path),
                {}};
    const QLocale locale;
    return {QCoreApplication::translate("RepairReport",
                                        "There is not enough free space to repair the library."),
            QCoreApplication::translate("RepairReport",
                                        "The repair needs about %1 of free space on the library's "
                                        "disk, and %2 is free. Free some space and try again.")
                .arg(locale.formattedDataSize(failure.needed),
                     locale.formattedDataSize(failure.available)),
            {}};
}

// The safety copy could not be made: CopyFailed, CopyNotReadBack,
// CopyNotFlushed.
Alert copyAlert(const Failure &failure)
{
    const QString title = QCoreApplication::translate(
        "RepairReport", "There was a problem saving a copy of the library file.");
    const QString leftovers = leftoversSentence(failure.leftovers);
    if (failure.cause == Cause::CopyFailed)
        return {title, failure.detail + leftovers, {}};
    if (failure.cause == Cause::CopyNotReadBack)
        return {title,
                QCoreApplication::translate("RepairReport",
                                            "The copy could not be read back in full.") +
                    leftovers,
                {}};
    return {title,
            QCoreApplication::translate("RepairReport",
                                        "The copy could not be written to the disk in full.") +
                leftovers,
            {}};
}

// A repair that stopped with the library left as it was: Canceled, Locked,
// UnsafeText.
Alert leftAsItWasAlert(const Failure &failure, const RepairPlaces &places)
{
    const QString leftovers = leftoversSentence(failure.leftovers);
    if (failure.cause == Cause::Canceled)
        return {QCoreApplication::translate("RepairReport", "The repair was canceled."),
                QCoreApplication::translate("RepairReport", "Nothing in the library was changed.") +
                    leftovers,
                {}};
    if (failure.cause == Cause::Locked)
        return {
            QCoreApplication::translate("RepairReport", "Another program is using the library."),
            (places.backup.isEmpty()
                 ? QCoreApplication::translate(
                       "RepairReport", "Close the program that has “%1” open, then try again.")
                       .arg(places.library)
                 : QCoreApplication::translate(
                       "RepairReport",
                       "Close the program that has “%1” open, then try again. The library "
                       "was left as it is; a safety copy is at “%2”.")
                       .arg(places.library, places.backup)) +
                leftovers,
            {}};
    return {QCoreApplication::translate(
                "RepairReport", "The library holds text that the repair cannot carry over."),
            QCoreApplication::translate(
                "RepairReport",
                "Some text in the library contains a NUL character, which the rebuild would "
                "cut short. The library was left as it is; a safety copy is at “%1”.")
                    .arg(places.backup) +
                leftovers,
            {}};
}

// A repair that stopped midway and was put back from its safety copy:
// DiskWrite, ShellNotStarted, ShellKilled, ShellStopped.
Alert putBackAlert(const Failure &failure)
{
    if (failure.cause == Cause::DiskWrite)
        return {QCoreApplication::translate(
                    "RepairReport", "The repair stopped because the disk could not be written."),
                QCoreApplication::translate(
                    "RepairReport",
                    "The library's disk is full or refused a write. The library was put back "
                    "from its safety copy. Free some space and try again.") +
                    (failure.detail.isEmpty() ? QString() : u"\n\n"_qs + failure.detail),
                {}};
    if (failure.cause == Cause::ShellNotStarted)
        return {QCoreApplication::translate("RepairReport",
                                            "The repair could not start the SQLite shell."),
                QCoreApplication::translate(
                    "RepairReport",
                    "The library was put back from its safety copy, exactly as it was. "
                    "Reinstall Quillbox Repair and try again."),
                {},
                failure.detail};
    const QString tryAgain = QCoreApplication::translate(
        "RepairReport", "The library was put back from its safety copy, exactly as it was. Try "
                        "again; if it happens again, contact Quillbox Support.");
    if (failure.cause == Cause::ShellKilled)
        return {QCoreApplication::translate(
                    "RepairReport", "The SQLite shell stopped unexpectedly (killed by signal %1).")
                    .arg(failure.detail),
                tryAgain,
                {}};
    return {QCoreApplication::translate(
                "RepairReport", "The SQLite shell stopped responding, so the repair was stopped."),
            tryAgain,
            {},
            failure.detail};
}

} // namespace

QString lockUnsupportedText(const QString &folder, const QString &why)
{
    return QCoreApplication::translate(
               "RepairReport",
               "The folder “%1” cannot be locked against other programs (%2), and a repair "
               "never runs without that lock. Move the library to a drive that allows locks, "
               "or to this computer, and try again.")
        .arg(folder, why);
}

Alert failureAlert(const Failure &failure, const RepairPlaces &places)
{
    // Every cause is named here, so that a new one does not compile until
    // it has its words.
    switch (failure.cause) {
    case Cause::NoLibrary:
    case Cause::NoDatabase:
    case Cause::DatabaseNotPlain:
    case Cause::DatabaseEmpty:
        return notALibraryAlert(failure, places);
    case Cause::LockUnsupported:
    case Cause::FolderUnopenable:
    case Cause::ReadOnly:
        return unchangeableAlert(failure);
    case Cause::AlreadyRunning:
    case Cause::CompanionRunning:
    case Cause::ShellMissing:
    case Cause::NoSpace:
        return notNowAlert(failure);
    case Cause::CopyFailed:
    case Cause::CopyNotReadBack:
    case Cause::CopyNotFlushed:
        return copyAlert(failure);
    case Cause::Canceled:
    case Cause::Locked:
    case Cause::UnsafeText:
        return leftAsItWasAlert(failure, places);
    case Cause::DiskWrite:
    case Cause::ShellNotStarted:
    case Cause::ShellKilled:
    case Cause::ShellStopped:
        return putBackAlert(failure);
    case Cause::Corrupt:
        // Its alert is corruptAlert(), which says what was saved.
        return {};
    }
    Q_UNREACHABLE();
    return {};
}

namespace
{

// What the safety copy could not keep, for an alert's details; empty when
// it kept everything.
QString droppedNote(const RepairPlaces &places)
{
    if (places.dropped.isEmpty())
        return {};
    return QCoreApplication::translate(
               "RepairReport",
               "The file system did not let the safety copy keep these extended attributes:") +
           u'\n' + places.dropped.join(u'\n');
}

} // namespace

Alert corruptAlert(const RepairPlaces &places, const QString &salvaged, const QString &shellSaid)
{
    QStringList details{QCoreApplication::translate(
                            "RepairReport",
                            "The library “%1” is put back from its safety copy “%2”, exactly as "
                            "it was before the repair.")
                            .arg(places.library, places.backup),
                        salvaged};
    if (!shellSaid.isEmpty())
        details.append(QCoreApplication::translate("RepairReport", "The SQLite shell said:\n%1")
                           .arg(shellSaid));
    if (!places.dropped.isEmpty())
        details.append(droppedNote(places));
    return {
        QCoreApplication::translate(
            "RepairReport", "The library file is corrupt and cannot be repaired automatically."),
        QCoreApplication::translate("RepairReport",
                                    "Contact Quillbox Support for further assistance."),
        {QCoreApplication::translate("RepairReport", "Support"),
         QCoreApplication::translate("RepairReport", "Cancel")},
        details.join(u"\n\n"_qs)};
}

QString supportMailUrl()
{
    return QStringLiteral("mailto:") + companion::kSupportAddress +
           QStringLiteral("?subject=Quillbox%20Support%20Request");
}

Alert notRestoredAlert(RestoreResult result, bool libraryMissing, const RepairPlaces &places,
                       const QStringList &leftovers)
{
    QString why =
        QCoreApplication::translate(
            "RepairReport", "The complete safety copy is at “%1”. Put it in place of the library "
                            "folder by hand.")
            .arg(places.backup);
    if (!libraryMissing && result == RestoreResult::CopyChanged)
        why = QCoreApplication::translate(
                  "RepairReport",
                  "The folder “%1” no longer holds the complete safety copy this repair made (it "
                  "was changed, or another program is using it), so the library “%2” was left as "
                  "it is.")
                  .arg(places.backup, places.library);
    else if (!libraryMissing && result == RestoreResult::CopyMissing)
        why = QCoreApplication::translate(
                  "RepairReport",
                  "The safety copy “%1” is missing, so the library was left as it is.")
                  .arg(places.backup);
    return {QCoreApplication::translate("RepairReport",
                                        "The library could not be restored from its safety copy."),
            why + leftoversSentence(leftovers),
            {}};
}

Alert fixedAlert(const RepairPlaces &places)
{
    // "2,000 notes, 21 notebooks and 30 tags", in the user's own numbers and
    // list words.
    const QLocale locale;
    QStringList counts;
    for (const auto &[table, rows] : places.kept)
        counts.append(locale.toString(rows) + u' ' + table);
    QStringList details;
    if (!counts.isEmpty())
        details.append(QCoreApplication::translate(
                           "RepairReport", "%1: every row and value compared with the damaged "
                                           "library.")
                           .arg(locale.createSeparatedList(counts)));
    if (!places.dropped.isEmpty())
        details.append(droppedNote(places));
    return {QCoreApplication::translate("RepairReport", "The library file has been fixed!"),
            QCoreApplication::translate(
                "RepairReport",
                "The library as it was before the repair is kept in “%1”. Delete that folder "
                "once you are sure you do not need it.")
                .arg(places.backup),
            {QCoreApplication::translate("RepairReport", "Quit")},
            details.join(u"\n\n"_qs)};
}
} // namespace quillbox
