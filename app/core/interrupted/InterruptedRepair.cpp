#include "app/core/interrupted/InterruptedRepair.h"

#include "app/core/fs/FileTree.h"
#include "app/core/fs/FolderLock.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/repair/RecoveredCopySwap.h"
#include "app/core/repair/RepairJournal.h"
#include "app/core/repair/SafetyCopyRestore.h"
#include "strings/FileNames.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <tuple>

namespace quillbox
{
namespace
{

// Only names beside the library, as the repair makes them, are ever moved
// or removed, whatever the record says.
bool isSibling(const QString &path, const QString &library)
{
    return !path.isEmpty() && QFileInfo(path).isAbsolute() &&
           QFileInfo(path).absolutePath() == QFileInfo(library).absolutePath() &&
           QFileInfo(path).fileName() != QFileInfo(library).fileName();
}

Alert putBack(const RepairJournal &journal, RepairRecord record, FolderLocks &locks)
{
    Alert restored{
        QCoreApplication::translate(
            "QBAppDelegate",
            "An earlier repair was interrupted, so the library was put back from its safety copy."),
        QCoreApplication::translate(
            "QBAppDelegate",
            "The library is as it was before that repair. You can start the repair again."),
        {}};
    const QString aside = isSibling(record.aside, record.library) ? record.aside : QString();
    // A power cut can lose the rename that gave the finished copy its name:
    // the complete copy is then still under its hidden name.
    if (!QFileInfo(record.backup).isDir() && record.phase == RepairPhase::Copied &&
        isSibling(record.partial, record.library) && record.copy &&
        summarizeTree(record.partial) == record.copy)
        std::ignore = renameNoReplace(record.partial, record.backup);
    const bool copyThere = QFileInfo(record.backup).isDir();
    if (!copyThere && record.phase == RepairPhase::Restoring) {
        // The copy was already moved in; only the damaged folder may be left.
        if (bf::itemExists(record.library)) {
            if (!aside.isEmpty())
                std::ignore = removeTree(aside);
            return restored;
        }
        if (!aside.isEmpty())
            std::ignore = renameNoReplace(aside, record.library);
    }
    if (!copyThere) {
        return {QCoreApplication::translate(
                    "QBAppDelegate", "An earlier repair was interrupted, and its safety copy "
                                     "is missing."),
                QCoreApplication::translate("QBAppDelegate", "The library “%1” was left as it is.")
                    .arg(record.library),
                {}};
    }
    const RestoreResult result = putSafetyCopyBack(
        {record.library, record.backup, aside, record.copy}, locks, [&](const QString &newAside) {
            record.aside = newAside;
            record.phase = RepairPhase::Restoring;
            // Recovery goes on even if the record cannot be updated: the
            // restore itself can be run again from the old record.
            std::ignore = journal.write(record);
        });
    if (result == RestoreResult::Restored)
        return restored;
    if (result == RestoreResult::CopyChanged)
        return {QCoreApplication::translate("QBAppDelegate",
                                            "An earlier repair was interrupted, and its safety "
                                            "copy is not as that repair made it."),
                QCoreApplication::translate("QBAppDelegate",
                                            "Nothing was put back: the library “%1” and the folder "
                                            "“%2” were left as they are.")
                    .arg(record.library, record.backup),
                {}};
    return {
        QCoreApplication::translate("QBAppDelegate",
                                    "An earlier repair was interrupted, and the library could "
                                    "not be put back from its safety copy."),
        QCoreApplication::translate(
            "QBAppDelegate",
            "The complete safety copy is at “%1”. Put it in place of the library folder by hand.")
            .arg(record.backup),
        {}};
}

// The library is as it was: what the repair made inside it goes. (The
// safety copy stays, as every safety copy does.)
Alert dropUnfinishedRebuild(const RepairRecord &record)
{
    dropRepairFiles(record.library, record.damaged, record.rebuild);
    QFile::remove(inFolder(record.library, kDumpName));
    return {
        QCoreApplication::translate(
            "QBAppDelegate", "An earlier repair was interrupted before it changed the library."),
        QCoreApplication::translate("QBAppDelegate",
                                    "The library is as it was. You can start the repair again."),
        {}};
}

// The library and its recovered copy were being swapped: a swap cut off
// between its two moves is finished, so the library's name holds one whole
// library, the damaged one or the recovered one, with the other beside it.
Alert settleRecoveredSwap(const RepairRecord &record, FolderLocks &locks)
{
    const RecoveredSwap swap{record.library, record.recovered, record.aside};
    const QString message = QCoreApplication::translate(
        "QBAppDelegate",
        "An earlier repair was interrupted while it put the recovered library in place.");
    const bool named =
        isSibling(swap.recovered, swap.library) && isSibling(swap.damaged, swap.library);
    switch (named ? settleSwap(swap, locks) : SwapState::Unclear) {
    case SwapState::Finished:
        return {message,
                QCoreApplication::translate(
                    "QBAppDelegate",
                    "The recovered library is in use as “%1”; the damaged library is at “%2”.")
                    .arg(swap.library, swap.damaged),
                {}};
    case SwapState::NotBegun:
        return {message,
                QCoreApplication::translate("QBAppDelegate",
                                            "The library “%1” is as it was before that repair; "
                                            "the recovered copy is at “%2”.")
                    .arg(swap.library, swap.recovered),
                {}};
    case SwapState::Unclear:
        break;
    }
    return {message,
            QCoreApplication::translate("QBAppDelegate",
                                        "The folders were left as they are. Look beside “%1” "
                                        "for the damaged library “%2” and the recovered copy “%3”.")
                .arg(swap.library, swap.damaged, swap.recovered),
            {}};
}

Alert recover(const RepairJournal &journal, const RepairRecord &record, FolderLocks &locks)
{
    // Whatever happens next, an entry set aside while the shells worked goes
    // back under its name first.
    putJournalNameBack(record.library);
    // A recovered copy that was being built is incomplete: it goes.
    if (isSibling(record.salvage, record.library) &&
        QFileInfo(record.salvage).fileName().startsWith(u".quillbox-salvage-"))
        std::ignore = removeTree(record.salvage);
    switch (record.phase) {
    case RepairPhase::Copying:
        if (isSibling(record.partial, record.library) &&
            QFileInfo(record.partial).fileName().startsWith(u".quillbox-copy-"))
            std::ignore = removeTree(record.partial);
        dropRepairFiles(record.library, {}, record.rebuild);
        QFile::remove(record.library + QStringLiteral("/Library.sql"));
        return {QCoreApplication::translate(
                    "QBAppDelegate",
                    "An earlier repair was interrupted before it changed the library."),
                QCoreApplication::translate(
                    "QBAppDelegate", "The library is as it was. You can start the repair again."),
                {}};
    case RepairPhase::Copied:
        // The library is as it was: the new database under its hidden name
        // was not finished or not checked. (A record that names none comes
        // from a repair that removed the damaged files before the rebuild.)
        if (!record.rebuild.isEmpty() && bf::itemExists(inFolder(record.library, kDatabaseName)))
            return dropUnfinishedRebuild(record);
        return putBack(journal, record, locks);
    case RepairPhase::Restoring:
        return putBack(journal, record, locks);
    case RepairPhase::UsingRecovered:
        return settleRecoveredSwap(record, locks);
    case RepairPhase::Swapping:
        if (undoSwap(record.library, record.damaged, record.rebuild))
            return dropUnfinishedRebuild(record);
        [[fallthrough]];
    case RepairPhase::Rebuilt:
        dropRepairFiles(record.library, record.damaged);
        QFile::remove(record.library + QStringLiteral("/Library.sql"));
        return {QCoreApplication::translate(
                    "QBAppDelegate",
                    "An earlier repair was interrupted after the library had been rebuilt."),
                QCoreApplication::translate(
                    "QBAppDelegate", "The rebuilt library was kept. Its safety copy is at “%1”.")
                    .arg(record.backup),
                {}};
    }
    return {};
}

} // namespace

std::optional<Alert> settleInterruptedRepair(const RepairJournal &journal)
{
    if (!journal.exists())
        return std::nullopt;
    // While its owner holds the state folder's lock, the record is that of a
    // repair still running, not of one that was cut off.
    FolderLocks locks;
    if (locks.lock(journal.folder()) == FolderLocks::Result::Held)
        return std::nullopt;
    // The record's owner may have ended, and cleared it, while the lock was
    // awaited.
    if (!journal.exists())
        return std::nullopt;
    const std::optional<RepairRecord> record = journal.read();
    // Another program may be repairing the same library now; the record
    // waits for a start when it is not.
    if (record && locks.lock(record->library) == FolderLocks::Result::Held)
        return std::nullopt;
    Alert alert;
    if (!record || !isSibling(record->backup, record->library)) {
        alert = {QCoreApplication::translate(
                     "QBAppDelegate",
                     "An earlier repair was interrupted, and its record cannot be read."),
                 QCoreApplication::translate(
                     "QBAppDelegate",
                     "Nothing was changed. Look beside the library folder for its safety copy, "
                     "named “(Old Version)”."),
                 {}};
    } else {
        alert = recover(journal, *record, locks);
    }
    journal.clear();
    return alert;
}

} // namespace quillbox
