#pragma once

#include <QString>

namespace bf
{

// A new random (version 4) UUID in its canonical text: 36 characters, groups
// of 8, 4, 4, 4 and 12 hexadecimal digits joined by '-', letters A-F upper
// case, no braces. Each call yields a new identifier.
[[nodiscard]] QString UUIDString();

} // namespace bf
