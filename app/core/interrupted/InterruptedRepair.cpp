#include "app/core/interrupted/InterruptedRepair.h"

#include "app/core/fs/FileTree.h"
#include "app/core/fs/FolderLock.h"
#include "app/core/library/LibraryFolder.h"
#include "app/core/repair/RecoveredCopySwap.h"
#include "app/core/repair/RepairJournal.h"
#include "app/core/repair/SafetyCopyRestore.h"
#include "app/core/texts/InterruptedRepairReport.h"
#include "strings/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

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

SettledRepair putBack(const RepairJournal &journal, RepairRecord record, FolderLocks &locks)
{
    SettledRepair restored{.how = Settled::PutBack};
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
    if (!copyThere)
        return {.how = Settled::CopyMissing, .library = record.library};
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
        return {.how = Settled::CopyChanged, .library = record.library, .backup = record.backup};
    return {.how = Settled::NotPutBack, .backup = record.backup};
}

// The library is as it was: what the repair made inside it goes. (The
// safety copy stays, as every safety copy does.)
SettledRepair dropUnfinishedRebuild(const RepairRecord &record)
{
    dropRepairFiles(record.library, record.damaged, record.rebuild);
    QFile::remove(inFolder(record.library, kDumpName));
    return {.how = Settled::NotChanged};
}

// The library and its recovered copy were being swapped: a swap cut off
// between its two moves is finished, so the library's name holds one whole
// library, the damaged one or the recovered one, with the other beside it.
SettledRepair settleRecoveredSwap(const RepairRecord &record, FolderLocks &locks)
{
    const RecoveredSwap swap{record.library, record.recovered, record.aside};
    const bool named =
        isSibling(swap.recovered, swap.library) && isSibling(swap.damaged, swap.library);
    SettledRepair settled{.how = Settled::SwapUnclear,
                          .library = swap.library,
                          .damaged = swap.damaged,
                          .recovered = swap.recovered};
    switch (named ? settleSwap(swap, locks) : SwapState::Unclear) {
    case SwapState::Finished:
        settled.how = Settled::RecoveredInUse;
        break;
    case SwapState::NotBegun:
        settled.how = Settled::RecoveredNotUsed;
        break;
    case SwapState::Unclear:
        break;
    }
    return settled;
}

SettledRepair settle(const RepairJournal &journal, const RepairRecord &record, FolderLocks &locks)
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
        QFile::remove(inFolder(record.library, kDumpName));
        return {.how = Settled::NotChanged};
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
        QFile::remove(inFolder(record.library, kDumpName));
        return {.how = Settled::RebuildKept, .backup = record.backup};
    }
    Q_UNREACHABLE();
    return {.how = Settled::SwapUnclear};
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
    const SettledRepair settled = !record || !isSibling(record->backup, record->library)
                                      ? SettledRepair{.how = Settled::RecordUnreadable}
                                      : settle(journal, *record, locks);
    journal.clear();
    return settledAlert(settled);
}

} // namespace quillbox
