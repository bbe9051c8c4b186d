#include "cli/one_line.h"

#include <gtest/gtest.h>

namespace tarvo::cli {
namespace {

TEST(OneLineTest, ControlCharactersAndStrayBytesBecomeEscapesPrinterTextStays) {
  EXPECT_EQ(OneLine("AB12CD"), "AB12CD");
  EXPECT_EQ(OneLine("A\xC3\xBF\xC3\xA9"), "A\xC3\xBF\xC3\xA9");  // printer text 0xFF, 0xE9
  EXPECT_EQ(OneLine("A\nB\r\tC\\"), "A\\nB\\r\\tC\\\\");
  EXPECT_EQ(OneLine(std::string("\x1b[2J\x7f", 5)), "\\x1b[2J\\x7f");
  EXPECT_EQ(OneLine("\xC2\x9b"
                    "1m"),
            "\\x9b1m");                                            // U+009B, a terminal's CSI
  EXPECT_EQ(OneLine(std::string("\xE9';\0", 4)), "\\xe9';\\x00");  // not UTF-8
}

}  // namespace
}  // namespace tarvo::cli
