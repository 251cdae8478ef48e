#pragma once

// How a repair or a check ended, as values the texts and the front ends turn
// into words.
namespace quillbox
{

// How a repair ended.
enum class RepairOutcome {
    Fixed,              // the database was rebuilt
    NoLibrary,          // no library folder to repair
    AlreadyRunning,     // another program is repairing this library; nothing touched
    CompanionRunning,   // Quillbox runs; nothing touched
    ShellMissing,       // the utility's own sqlite3 is missing; nothing touched
    SafetyCopyFailed,   // no safety copy could be made; library untouched
    UnsafeText,         // text the dump would cut short; library left as it was
    NoSpace,            // too little free space; nothing touched
    ReadOnly,           // the library or its folder cannot be written; nothing touched
    WriteFailed,        // a write failed midway; the safety copy is back in place
    ShellFailed,        // the shell could not start or stopped responding; the copy is back
    Locked,             // another program has the database open; library as it was
    Canceled,           // the user stopped the repair before anything was changed
    CorruptRestored,    // beyond repair; the safety copy is back in place
    CorruptNotRestored, // beyond repair; the safety copy stays beside it
    RecoveredInUse,     // beyond repair; restored, then its recovered copy took its place and
                        // the damaged library stays beside it, renamed "… (Damaged)"
};
// The last of them, for a walk over all: a new outcome goes after it, and
// this then names the new one.
inline constexpr RepairOutcome kLastRepairOutcome = RepairOutcome::RecoveredInUse;

// What a repair that ends with a library beyond repair, put back as it was,
// does with the recovered copy it saved beside it.
enum class RecoveredCopyUse {
    Ask, // asks whether the copy takes the library's place; the cautious answer keeps both
    Use, // puts the copy in the library's place without asking
};

// How a check of a library ended.
enum class CheckOutcome {
    Healthy,          // the check found no damage
    Repairable,       // damaged; a repair would rebuild it exactly
    BeyondRepair,     // damaged; a repair would refuse it and save what it can
    NoLibrary,        // no library folder to check, or none that can be opened
    AlreadyRunning,   // another program is repairing this library
    CompanionRunning, // Quillbox runs
    ShellMissing,     // the utility's own sqlite3 is missing
    Locked,           // another program has the database open
    JournalPending,   // reading the database would roll back or delete its journal
    ShellFailed,      // the shell could not start, was stopped or was killed
    Canceled,         // the user stopped the check
};
inline constexpr CheckOutcome kLastCheckOutcome = CheckOutcome::Canceled;

// The stage a repair is in, for progress reports.
enum class RepairStage { SafetyCopy, Dump, Check, Rebuild, Restore };

} // namespace quillbox
