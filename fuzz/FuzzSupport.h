#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Helpers shared by the fuzz targets.
namespace fuzz
{

// Stops the run with `what` on standard error when `condition` is false.
// __builtin_trap makes libFuzzer record the input as a crash.
void check(bool condition, const char *what);

// A folder of this process's own below $TMPDIR (or /tmp), made on the first
// call and removed when the process exits normally.
const QString &privateDirectory();

// Makes an empty file at `path`; false when that fails.
bool makeFile(const QString &path);

// The input as text. The first byte picks the form of the rest: even, UTF-8
// (invalid bytes become U+FFFD); odd, UTF-16 in host order (an odd last byte
// is dropped), so lone surrogates and U+0000 can reach the code under test.
// At most `maxUnits` UTF-16 units are kept.
QString textFromInput(const std::uint8_t *data, std::size_t size, qsizetype maxUnits);

} // namespace fuzz
