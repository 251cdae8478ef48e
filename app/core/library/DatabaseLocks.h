#pragma once

#include <QString>

#include <chrono>

namespace quillbox
{

// True when another process has Library.sqlite in `folder` open in
// write-ahead-log mode (it keeps a lock in Library.sqlite-shm for as long as
// it has the database open) or holds a lock on the database file itself (a
// transaction, or exclusive locking mode). Only SQLite's own locks are
// looked at, and only looked at: none is taken. False when neither file can
// be opened. A lock let go of within `patience` does not count (a reader
// that is just closing, such as the shell of a repair stopped a moment ago).
[[nodiscard]] bool isDatabaseInUse(const QString &folder, std::chrono::milliseconds patience = {});

} // namespace quillbox
