#pragma once

#include <QString>

#include <vector>

namespace quillbox
{

// Exclusive advisory locks (flock) on folders, held until the object is
// destroyed. A lock belongs to the folder itself, not to its name: it moves
// with the folder when the folder is renamed, and the kernel drops it when
// the process ends, however it ends, so a killed repair never leaves a
// stale lock. Nothing is written to disk.
class FolderLocks
{
  public:
    enum class Result {
        Taken,       // the folder is locked by this object now
        Held,        // another holder (another program, or another object) has it
        Unsupported, // its file system cannot lock it (errno says why); nothing is held
        Failed       // the folder cannot be opened or locked; nothing is held
    };

    FolderLocks() = default;
    FolderLocks(const FolderLocks &) = delete;
    FolderLocks &operator=(const FolderLocks &) = delete;
    FolderLocks(FolderLocks &&other) noexcept;
    FolderLocks &operator=(FolderLocks &&other) noexcept;
    ~FolderLocks();

    // Locks the folder at `path`, waiting up to 0.3 s for it. Taken only
    // when the folder still stands at `path` once locked (it was not moved
    // meanwhile); Held when someone else holds it. A link is not followed:
    // Failed. (The wait covers a program that has just ended: a child it
    // was starting holds a copy of its locks until that child runs.)
    Result lock(const QString &path);

    // Drops every lock this object holds.
    void release();

  private:
    std::vector<int> fds_;
};

// True when the folder at `path` is locked by anyone (this process
// included); false when it is free, missing or unreadable.
[[nodiscard]] bool isFolderLocked(const QString &path);

} // namespace quillbox
