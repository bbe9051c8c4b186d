#include "model/printer_text.h"

#include <gtest/gtest.h>

#include <array>

namespace tarvo {
namespace {

TEST(PrinterTextTest, ErasedBytesShowAsLatin1Characters) {
  const std::array<uint8_t, 6> erased{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodePrinterText(erased), "ÿÿÿÿÿÿ");
  EXPECT_EQ(DecodePrinterText(std::string_view("AB\xE9", 3)), "ABé");
}

TEST(PrinterTextTest, TypedTextGoesBackOneBytePerCharacter) {
  EXPECT_EQ(EncodePrinterText("é"), (std::vector<uint8_t>{0xE9}));
  EXPECT_EQ(EncodePrinterText("A1ÿ"), (std::vector<uint8_t>{'A', '1', 0xFF}));
  EXPECT_EQ(EncodePrinterText(""), std::vector<uint8_t>{});
}

TEST(PrinterTextTest, CharactersBeyondOneByteAndBrokenUtf8AreRefused) {
  EXPECT_FALSE(EncodePrinterText("€"));
  EXPECT_FALSE(FitsPrinterText("AB€"));
  EXPECT_FALSE(FitsPrinterText("\xC3"));      // half a character
  EXPECT_FALSE(FitsPrinterText("\xE9"));      // a Latin-1 byte is not UTF-8
  EXPECT_FALSE(FitsPrinterText("\xC0\x80"));  // overlong zero
  EXPECT_TRUE(FitsPrinterText("Head 01"));
}

TEST(PrinterTextTest, EveryByteSurvivesTheRoundTrip) {
  std::vector<uint8_t> all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
  EXPECT_EQ(EncodePrinterText(DecodePrinterText(all)), all);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

TEST(PrinterTextUtf8Test, WellFormedUtf8IsKeptAndAnythingElseIsReadAsPrinterText) {
  EXPECT_TRUE(IsUtf8("AB12CD \xC3\xBF \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsUtf8("\xE9';"));            // a lone Latin-1 byte
  EXPECT_FALSE(IsUtf8("\xC3"));              // cut short
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_EQ(AsText("\xE9';"), "\xC3\xA9';");
  EXPECT_EQ(AsText("\xC3\xA9';"), "\xC3\xA9';");
}

}  // namespace
}  // namespace tarvo
