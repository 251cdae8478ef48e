#pragma once

// How putting a safety copy back in place of its library ended.
namespace quillbox
{

enum class RestoreResult {
    Restored,    // the safety copy is the library folder now
    CopyMissing, // there is no safety copy; nothing was changed
    CopyChanged, // what stands under the copy's name is not the complete copy
                 // that was made, or another program holds it; nothing was changed
    Failed,      // a move failed; what was moved was moved back
};

} // namespace quillbox
