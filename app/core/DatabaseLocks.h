#pragma once

#include <QString>

namespace quillbox
{

// True when another process has Library.sqlite in `folder` open in
// write-ahead-log mode (it keeps a lock in Library.sqlite-shm for as long as
// it has the database open) or holds a lock on the database file itself (a
// transaction, or exclusive locking mode). Only SQLite's own locks are
// looked at, and only looked at: none is taken. False when neither file can
// be opened.
[[nodiscard]] bool isDatabaseInUse(const QString &folder);

} // namespace quillbox
