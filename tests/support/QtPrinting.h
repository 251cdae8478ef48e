#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest print Qt strings (and lists of them) as text.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
