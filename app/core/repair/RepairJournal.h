#pragma once

#include "app/core/fs/FileTree.h"

#include <QString>

#include <optional>

namespace quillbox
{

// How far a repair has come, as far as the files on disk are concerned.
enum class RepairPhase {
    Copying,        // the safety copy is being written and flushed under its temporary name;
                    // the dump may be under way
    Copied,         // a complete safety copy sits beside the library, which is as it was; a new
                    // database may be being built under a hidden name inside it
    Rebuilt,        // the rebuilt library has passed its checks and is in place
    Restoring,      // the safety copy is being put back in place of the library
    Swapping,       // the checked new database is taking the damaged one's place: the damaged
                    // files go to hidden names, then the new one takes Library.sqlite
    UsingRecovered, // after a restore, the recovered copy is taking the library's place:
                    // the library goes to `aside`, then `recovered` takes its name
};

// The record of a repair in progress.
struct RepairRecord {
    RepairPhase phase = RepairPhase::Copying;
    QString library;
    QString backup;  // the safety copy's final name
    QString partial; // the safety copy's temporary name while it is written
    // Where the damaged folder goes while the copy is put back, or while
    // the recovered copy takes its place.
    QString aside;
    // What the complete safety copy held when it was made; only a folder
    // that still holds exactly this is ever put back in place of the library.
    std::optional<TreeSummary> copy;
    // Where a recovered copy is built before it takes its name; empty: none.
    QString salvage = {};
    // Inside the library: where the new database is built before it takes
    // Library.sqlite, and the hidden name the damaged files take (with their
    // suffixes) when it does; empty: none.
    QString rebuild = {};
    QString damaged = {};
    // The complete recovered copy that takes the library's place; empty: none.
    QString recovered = {};
};

// A small file in the utility's state folder that says which repair is in
// progress, so that one cut off by a crash or a power cut can be set right
// at the next start. Writes are atomic and flushed: a reader sees the old
// record or the new one, never a mix.
class RepairJournal
{
  public:
    explicit RepairJournal(QString path) : path_(std::move(path)) {}

    // $XDG_STATE_HOME/quillbox-repair/repair-in-progress.json (default
    // ~/.local/state).
    [[nodiscard]] static QString defaultPath();

    [[nodiscard]] const QString &path() const { return path_; }
    // The folder the record lives in, which a repair locks while it runs.
    [[nodiscard]] QString folder() const;

    // Replaces the record. False when it could not be written and flushed.
    [[nodiscard]] bool write(const RepairRecord &record) const;
    // The record, or nullopt when there is none or it cannot be understood.
    [[nodiscard]] std::optional<RepairRecord> read() const;
    // True when a record file is present, readable or not.
    [[nodiscard]] bool exists() const;
    void clear() const;

  private:
    QString path_;
};

} // namespace quillbox
