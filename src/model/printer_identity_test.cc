#include "model/printer_identity.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/rom_layout.h"

namespace tarvo {
namespace {

TEST(PrinterIdentityTest, FieldsAreTextAsTheViewsShowThemWithTheirBytesBeside) {
  RomImage image{};
  std::copy_n("\xE9\x27\x3B", 3, image.begin());
  std::copy_n("ABC01\0XYZ", 9, image.begin() + kUsbSerialNoOffset);
  std::copy_n("A\xFF\nB12", 6, image.begin() + kHeadIdOffset);
  const PrinterIdentity p = IdentityOf(image);
  EXPECT_EQ(p.model_code, "\xC3\xA9';");
  EXPECT_EQ(p.model_code_hex, "e9273b");
  EXPECT_EQ(p.usb_serial, "ABC01");  // up to the first zero byte
  EXPECT_EQ(p.usb_serial_hex, "41424330310058595a000000000000000000");
  EXPECT_EQ(p.head_id, "A\xC3\xBF\nB12");
  EXPECT_EQ(p.head_id_hex, "41ff0a423132");

  // An erased tail is no part of the text; a field never written names nothing. The bytes still
  // show them.
  std::copy_n("AB\xFF\xFF\xFF\xFF", 6, image.begin() + kHeadIdOffset);
  EXPECT_EQ(IdentityOf(image).head_id, "AB");
  EXPECT_EQ(IdentityOf(image).head_id_hex, "4142ffffffff");
  std::fill_n(image.begin() + kHeadIdOffset, kHeadIdSize, 0xFF);
  EXPECT_EQ(IdentityOf(image).head_id, "");
  EXPECT_EQ(IdentityOf(image).head_id_hex, "ffffffffffff");
  EXPECT_TRUE(IdentityOf(std::span(image).first(10)).empty());
}

}  // namespace
}  // namespace tarvo
