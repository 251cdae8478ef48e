#pragma once

#include "app/core/fs/Expected.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Whole-folder file operations that never follow a symbolic link: a link is
// copied or removed as a link, so nothing outside the folder is touched.
namespace quillbox
{

// Called with the number of bytes of file content copied so far; false
// stops the copy, which then fails with "Operation canceled".
using CopyProgress = std::function<bool(qint64 bytesCopied)>;

// Copies the folder `source` and everything in it to `destination`, which
// must not exist yet, keeping what `cp -a` keeps: permissions, access and
// modification times, extended attributes (ACLs and security labels among
// them), symbolic links as links, and files with several names in the tree
// as one file with those names. Nothing is flushed to disk (see syncTree()).
// Blocks are shared with the source where the file system can (btrfs, xfs),
// else moved by copy_file_range(). On failure, a translated description of
// the first one, and whatever was already copied is left for the caller to
// remove. Extended attributes the copy
// could not take ("path: attribute") go to `dropped`, when given.
Expected<> copyTree(const QString &source, const QString &destination,
                    const CopyProgress &progress = {}, QStringList *dropped = nullptr);

// The same copy in steps, for a folder whose entries may change while it
// is copied: begin() notes the folder's entries and attributes and makes
// the copy's folder; copyNow() copies one of those entries at once, before
// it changes; finish() copies the others and gives the copy's folder the
// attributes noted. An entry made after begin() is never copied. Each step
// fails as copyTree() does, and a copy may be moved to another thread.
class FolderCopy
{
  public:
    static Expected<FolderCopy> begin(const QString &source, const QString &destination,
                                      CopyProgress progress = {});
    FolderCopy(FolderCopy &&) noexcept;
    FolderCopy &operator=(FolderCopy &&) noexcept;
    ~FolderCopy();
    // Copies the entry `name` now; nothing when it was not there at begin()
    // or is already copied.
    Expected<> copyNow(const QString &name);
    Expected<> finish();
    // "path: attribute" for each extended attribute not kept so far.
    [[nodiscard]] QStringList dropped() const;

  private:
    struct State;
    explicit FolderCopy(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Total bytes of the regular files in the folder, links not followed; 0 for
// a missing folder.
[[nodiscard]] qint64 treeSize(const QString &path);

// What a folder holds, to tell a complete copy from anything else that
// stands under its name: the number of entries below it (files, folders,
// links and others) and the bytes of its regular files.
struct TreeSummary {
    qint64 entries = 0;
    qint64 bytes = 0;
    friend bool operator==(const TreeSummary &, const TreeSummary &) = default;
};

// The summary of the folder at `path`, links not followed; nullopt when it
// is missing, not a folder, or any part of it cannot be read.
[[nodiscard]] std::optional<TreeSummary> summarizeTree(const QString &path);

// Removes `path` and, for a folder, everything in it. A missing path counts
// as removed. An error when anything stays.
Expected<> removeTree(const QString &path);

// Renames `from` to `to` only when nothing exists at `to`; on failure, a
// translated description of it.
Expected<> renameNoReplace(const QString &from, const QString &to);

// Flushes every file and folder below `path` (and `path` itself) to disk;
// links are not followed. An error when any of them could not be flushed.
Expected<> syncTree(const QString &path);

// Flushes the entries of the folder at `path` to disk (after a rename or a
// removal in it). An error when the folder cannot be opened or flushed.
Expected<> syncFolder(const QString &path);

// Flushes the contents of the regular file at `path` to disk. An error when
// it cannot be opened or flushed.
Expected<> syncFile(const QString &path);

// Asks the kernel to start writing the changed pages of the regular file at
// `path` to disk now, without waiting for them, so that a later syncFile()
// has less left to wait for. Does nothing when the file cannot be opened.
void startWriteback(const QString &path);

} // namespace quillbox
