#pragma once

#include <QString>

// What setting right a repair cut off by a crash did.
namespace quillbox
{

enum class Settled {
    NotChanged,       // cut off before the library changed; what it made there went
    PutBack,          // the library was put back from its safety copy
    CopyMissing,      // its safety copy is missing; the library was left as it is
    CopyChanged,      // its safety copy is not as the repair made it; nothing was put back
    NotPutBack,       // its safety copy could not be put back; it stays beside the library
    RebuildKept,      // the rebuilt library had passed its checks, and stays
    RecoveredInUse,   // the recovered copy is the library; the damaged one is beside it
    RecoveredNotUsed, // the library is as it was; its recovered copy is beside it
    SwapUnclear,      // the folders were not as a swap leaves them, and were left alone
    RecordUnreadable, // the record could not be read; nothing was changed
};

// What was done, and the folders concerned (empty where none).
struct SettledRepair {
    Settled how;
    QString library = {};
    QString backup = {};
    QString damaged = {};
    QString recovered = {};
};

} // namespace quillbox
