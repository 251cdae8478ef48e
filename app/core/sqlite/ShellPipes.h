#pragma once

#include "app/core/sqlite/SqliteShell.h"

// The bytes that go into a shell and come out of it, between pipes and
// files.
namespace quillbox
{

// Writes everything that arrives on the pipe `from` into the file `to`
// until the pipe ends or a write fails, counting the bytes written in
// run.bytes and a failed write's errno in run.writeError. With `copyTo` a
// pipe (else -1), the same bytes go there too (tee), until its reader is
// gone; it is closed at the end, which ends what its reader reads.
void drainPipe(int from, int to, int copyTo, SqliteShell::FileRun &run);

// Writes `input` (its head, its file, its stream, its tails) into the pipe
// `to` and closes it. errno of a failed read of the input's file; 0 when it
// was read to its end, or when the shell stopped reading first.
[[nodiscard]] int feed(int to, const SqliteShell::Input &input);

} // namespace quillbox
