// After a library beyond repair was put back as it was: the offer to put
// its recovered copy in its place, and the swap of the two folders.
#include "app/core/repair/LibraryRepair.h"

#include "app/core/companion/Companion.h"
#include "app/core/companion/CompanionApps.h"
#include "app/core/repair/RecoveredCopySwap.h"
#include "app/core/repair/SafetyCopyRestore.h"
#include "app/core/texts/RecoveredCopyReport.h"

#include <cerrno>
#include <cstring>

namespace quillbox
{

RepairOutcome LibraryRepair::offerRecoveredCopy(const QString &recovered)
{
    RecoveredSwap swap{libraryPath_, recovered, damagedFolderPath(libraryPath_)};
    if (recoveredCopyUse_ == RecoveredCopyUse::Ask &&
        services_.alerts.runModal(useRecoveredQuestion(swap)) != kFirstButton)
        return RepairOutcome::CorruptRestored;
    // The name the question gave may have been taken while it was open.
    swap.damaged = damagedFolderPath(libraryPath_);
    SwapEnd ended{SwapResult::Unmoved};
    if (const std::optional<QString> why = prepareSwap(swap))
        ended.why = *why;
    else
        ended = swapInRecoveredCopy(swap);
    services_.alerts.runModal(swapAlert(swap, ended));
    switch (ended.result) {
    case SwapResult::Swapped:
        return RepairOutcome::RecoveredInUse;
    case SwapResult::Unmoved:
        return RepairOutcome::CorruptRestored;
    case SwapResult::Stranded:
        break;
    }
    return RepairOutcome::CorruptNotRestored;
}

std::optional<QString> LibraryRepair::prepareSwap(const RecoveredSwap &swap)
{
    // Quillbox may have been started while the question was open.
    if (services_.apps.isRunning(companion::kMainIdentifier) ||
        services_.apps.isRunning(companion::kAlternateIdentifier))
        return hindranceText(SwapHindrance::CompanionRunning, swap.recovered, {});
    // The library is locked already (the safety copy's lock moved in with
    // it); the copy is locked too before it takes the library's name, and
    // both stay locked until the repair ends.
    switch (locks_.lock(swap.recovered)) {
    case FolderLocks::Result::Taken:
        break;
    case FolderLocks::Result::Held:
        return hindranceText(SwapHindrance::CopyInUse, swap.recovered, {});
    case FolderLocks::Result::Unsupported:
    case FolderLocks::Result::Failed:
        return hindranceText(SwapHindrance::CopyUnlockable, swap.recovered,
                             QString::fromLocal8Bit(std::strerror(errno)));
    }
    // Recorded before anything moves, so that a swap cut off is set right at
    // the next start. Unlike the repair's other steps, this one does not go
    // on without its record: the restore's record, which the journal holds
    // until then, would take a finished swap for a restore to clean up.
    record_.aside = swap.damaged;
    record_.recovered = swap.recovered;
    record_.phase = RepairPhase::UsingRecovered;
    if (journal_ != nullptr && !journal_->write(record_))
        return hindranceText(SwapHindrance::NotRecorded, swap.recovered, journal_->path());
    return std::nullopt;
}

} // namespace quillbox
