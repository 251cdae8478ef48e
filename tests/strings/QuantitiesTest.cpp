#include "strings/Quantities.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{

// The singular only for exactly 1; the count keeps its sign.
TEST(Quantity, printsCountAndNoun)
{
    EXPECT_EQ(bf::stringWithQuantity(1, u"item"_qs, u"items"_qs), u"1 item");
    EXPECT_EQ(bf::stringWithQuantity(0, u"item"_qs, u"items"_qs), u"0 items");
    EXPECT_EQ(bf::stringWithQuantity(-1, u"item"_qs, u"items"_qs), u"-1 items");
    EXPECT_EQ(bf::stringWithQuantity(std::numeric_limits<qint64>::min(), u"item"_qs, u"items"_qs),
              u"-9223372036854775808 items");
    EXPECT_EQ(bf::stringWithQuantity(2, u""_qs, u""_qs), u"2 ");
}

} // namespace
