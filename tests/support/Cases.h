#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Instantiates the parameterized test suite `suite` over `values`, a table
// of cases of `type`, each with a `name` that stands for the case, not its
// bytes, in test listings.
#define QUILLBOX_CASES(suite, type, values)                                                        \
    [[maybe_unused]] void PrintTo(const type &c, std::ostream *os)                                 \
    {                                                                                              \
        *os << c.name;                                                                             \
    }                                                                                              \
    INSTANTIATE_TEST_SUITE_P(Cases, suite, values,                                                 \
                             [](const auto &info) { return std::string(info.param.name); })
