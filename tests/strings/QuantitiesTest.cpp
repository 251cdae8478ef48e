#include "strings/Quantities.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace
{

// The singular only for exactly 1.
TEST(Quantity, printsCountAndNoun)
{
    EXPECT_EQ(bf::stringWithQuantity(1, u"item"_qs, u"items"_qs), u"1 item");
    EXPECT_EQ(bf::stringWithQuantity(-1, u"item"_qs, u"items"_qs), u"-1 items");
}

} // namespace
