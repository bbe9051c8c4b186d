#include "dialogs/field_checks.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(FieldChecks, Integers) {
  EXPECT_EQ(ParseInteger("42"), 42);
  EXPECT_EQ(ParseInteger(" -15 "), -15);
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
  for (const char* bad : {"", " ", "1.0", "12a", "0x10", "--1", "+-1", "2147483648", "1 2"}) {
    EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
  }
}

TEST(FieldChecks, Decimals) {
  EXPECT_EQ(ParseDecimal("1.5"), 1.5);
  EXPECT_EQ(ParseDecimal(" -2 "), -2.0);
  EXPECT_EQ(ParseDecimal("3e2"), 300.0);
  for (const char* bad : {"", "nan", "inf", "0x1p3", "1.5.2", "1e999", "e"}) {
    EXPECT_EQ(ParseDecimal(bad), std::nullopt) << bad;
  }
}

TEST(FieldChecks, RangeTextAndCapitals) {
  EXPECT_EQ(IntegerRangeText(0, 255), "Please enter an integer between 0 and 255.");
  EXPECT_EQ(ToCapitals("ab1Z\xC3\xA4"), "AB1Z\xC3\xA4");
  EXPECT_FALSE(IsAlphanumeric('\xC3'));
  EXPECT_FALSE(IsAlphanumeric('_'));
}

}  // namespace
}  // namespace tarvo
