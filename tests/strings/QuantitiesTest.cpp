#include "strings/Quantities.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{

struct QuantityCase {
    const char *name;
    qint64 quantity;
    QString expected;
};

void PrintTo(const QuantityCase &c, std::ostream *os)
{
    *os << c.name;
}

class Quantity : public ::testing::TestWithParam<QuantityCase>
{
};

TEST_P(Quantity, printsCountAndNoun)
{
    EXPECT_EQ(bf::stringWithQuantity(GetParam().quantity, u"item"_qs, u"items"_qs),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Quantity,
    ::testing::Values(QuantityCase{"one", 1, u"1 item"_qs}, QuantityCase{"zero", 0, u"0 items"_qs},
                      QuantityCase{"two", 2, u"2 items"_qs},
                      QuantityCase{"minusOne", -1, u"-1 items"_qs},
                      QuantityCase{"largest", std::numeric_limits<qint64>::max(),
                                   u"9223372036854775807 items"_qs},
                      QuantityCase{"smallest", std::numeric_limits<qint64>::min(),
                                   u"-9223372036854775808 items"_qs}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
