#include "app/core/repair/FailureOutcome.h"

#include <QtGlobal>

namespace quillbox
{

RepairOutcome outcomeOf(Cause cause)
{
    switch (cause) {
    case Cause::NoLibrary:
    case Cause::NoDatabase:
    case Cause::DatabaseNotPlain:
    case Cause::DatabaseEmpty:
        return RepairOutcome::NoLibrary;
    case Cause::AlreadyRunning:
        return RepairOutcome::AlreadyRunning;
    case Cause::FolderUnopenable:
    case Cause::LockUnsupported:
    case Cause::ReadOnly:
        return RepairOutcome::ReadOnly;
    case Cause::CompanionRunning:
        return RepairOutcome::CompanionRunning;
    case Cause::ShellMissing:
        return RepairOutcome::ShellMissing;
    case Cause::NoSpace:
        return RepairOutcome::NoSpace;
    case Cause::CopyFailed:
    case Cause::CopyNotReadBack:
    case Cause::CopyNotFlushed:
        return RepairOutcome::SafetyCopyFailed;
    case Cause::Canceled:
        return RepairOutcome::Canceled;
    case Cause::Locked:
        return RepairOutcome::Locked;
    case Cause::UnsafeText:
        return RepairOutcome::UnsafeText;
    case Cause::DiskWrite:
        return RepairOutcome::WriteFailed;
    case Cause::ShellNotStarted:
    case Cause::ShellStopped:
    case Cause::ShellKilled:
        return RepairOutcome::ShellFailed;
    case Cause::Corrupt:
        return RepairOutcome::CorruptRestored;
    }
    Q_UNREACHABLE();
    return RepairOutcome::CorruptRestored;
}

bool needsRestore(Cause cause)
{
    switch (cause) {
    case Cause::DiskWrite:
    case Cause::ShellNotStarted:
    case Cause::ShellStopped:
    case Cause::ShellKilled:
    case Cause::Corrupt:
        return true;
    case Cause::NoLibrary:
    case Cause::NoDatabase:
    case Cause::DatabaseNotPlain:
    case Cause::DatabaseEmpty:
    case Cause::AlreadyRunning:
    case Cause::FolderUnopenable:
    case Cause::LockUnsupported:
    case Cause::CompanionRunning:
    case Cause::ShellMissing:
    case Cause::ReadOnly:
    case Cause::NoSpace:
    case Cause::CopyFailed:
    case Cause::CopyNotReadBack:
    case Cause::CopyNotFlushed:
    case Cause::Canceled:
    case Cause::Locked:
    case Cause::UnsafeText:
        return false;
    }
    Q_UNREACHABLE();
    return false;
}

} // namespace quillbox
