#include "model/rom_layout.h"

#include <gtest/gtest.h>

#include <set>

namespace tarvo {
namespace {

const RomField& Field(std::string_view name) {
  const RomField* f = FindField(name);
  EXPECT_NE(f, nullptr) << name;
  return *f;
}

TEST(RomLayout, TwoByteCounterIsLittleEndian) {
  RomImage image{};
  SetInt(image, Field("InkCounterRb0"), 0x1234);
  EXPECT_EQ(image[0x2D], 0x34);
  EXPECT_EQ(image[0x2E], 0x12);
  EXPECT_EQ(image[0x2C], 0);
  EXPECT_EQ(image[0x2F], 0);
  EXPECT_EQ(GetInt(image, Field("InkCounterRb0")), 0x1234);
}

TEST(RomLayout, FloatAtOddOffsetRoundTripsBytewise) {
  RomImage image;
  image.fill(0xAA);
  SetFloat(image, Field("ProtectionCounterA"), 1.5f);  // 0x3FC00000
  EXPECT_EQ(image[0x28], 0xAA);
  EXPECT_EQ(image[0x29], 0x00);
  EXPECT_EQ(image[0x2A], 0x00);
  EXPECT_EQ(image[0x2B], 0xC0);
  EXPECT_EQ(image[0x2C], 0x3F);
  EXPECT_EQ(image[0x2D], 0xAA);
  EXPECT_EQ(GetFloat(image, Field("ProtectionCounterA")), 1.5f);
}

TEST(RomLayout, HeadBlockEndsWithFitToPage) {
  const RomField& fit = Field("FitToPage");
  EXPECT_EQ(fit.offset + fit.size, static_cast<int>(kHeadBlockSize));
  EXPECT_EQ(Field("ProtectionCounterA").offset, kHeadBlockSize);

  // Fields of the block work on a 41-byte block; fields beyond it are neither read nor written.
  HeadBlock block{};
  SetInt(block, fit, 1);
  EXPECT_EQ(block[0x28], 1);
  SetFloat(block, Field("ProtectionCounterA"), 2.0f);
  SetInt(block, Field("InkCounterRb0"), 7);
  EXPECT_EQ(GetInt(block, Field("InkCounterRb0")), 0);
  EXPECT_EQ(GetChars(block, Field("HeadId")).size(), 6u);
}

TEST(RomLayout, SignedAndUnsignedExtension) {
  RomImage image{};
  image[0x1B] = 0xF6;
  EXPECT_EQ(GetInt(image, Field("Ms1Adjust")), -10);
  image[0x6E] = 0xF6;
  EXPECT_EQ(GetInt(image, Field("UnplugAccumulation")), 246);

  SetInt(image, Field("ClTimer"), -2);
  EXPECT_EQ(image[0x49], 0xFE);
  EXPECT_EQ(image[0x4C], 0xFF);
  EXPECT_EQ(GetInt(image, Field("ClTimer")), -2);

  // Truncated to the size: 300 in a 1-byte field leaves 44 and touches nothing else.
  SetInt(image, Field("TofAdjust"), 300);
  EXPECT_EQ(image[0x1F], 44);
  EXPECT_EQ(image[0x20], 0);
}

TEST(RomLayout, CharsArePaddedWithZerosAndCut) {
  RomImage image;
  image.fill(0x55);
  SetChars(image, Field("HeadId"), "AB1");
  EXPECT_EQ(GetChars(image, Field("HeadId")), std::string("AB1\0\0\0", 6));
  SetChars(image, Field("ModelName"), "01234");
  EXPECT_EQ(GetChars(image, Field("ModelName")), "012");
  EXPECT_EQ(image[0x03], 0x55);
}

TEST(RomLayout, TableNamesAreUniqueAndOffsetsMatchConstants) {
  std::set<std::string_view> names;
  for (const RomField& f : RomFields()) {
    if (f.type == FieldType::kUnnamed) {
      EXPECT_TRUE(f.name.empty());
      continue;
    }
    EXPECT_TRUE(names.insert(f.name).second) << f.name;
  }
  EXPECT_EQ(Field("HeadId").offset, kHeadIdOffset);
  EXPECT_EQ(Field("FwVersion").offset, kFwVersionOffset);
  EXPECT_EQ(Field("UnplugAccumulation").offset, 110);
  EXPECT_EQ(Field("TclCondition").offset, 111);
  EXPECT_EQ(Field("FtFlag").offset, kFtFlagOffset);
  EXPECT_EQ(FindField(""), nullptr);
  EXPECT_EQ(FindField("headid"), nullptr);
}

TEST(RomLayout, InitialValuesLeaveKeptFieldsAlone) {
  RomImage image;
  image.fill(0x77);
  ApplyInitialValues(image, "B123");
  EXPECT_EQ(image[0x00], 0x77);  // ModelName kept
  EXPECT_EQ(image[0x1A], 0x77);  // end of HeadId kept
  EXPECT_EQ(image[0x1B], 0xF6);
  EXPECT_EQ(image[0x1C], 0xF6);
  EXPECT_EQ(image[0x1D], 0xF5);
  EXPECT_EQ(image[0x1E], 0xFC);
  EXPECT_EQ(image[0x1F], 0x00);
  EXPECT_EQ(image[0x21], 0x77);  // ModelNumber kept
  EXPECT_EQ(GetChars(image, Field("FwVersion")), "B123");
  EXPECT_EQ(image[0x27], 1);
  EXPECT_EQ(image[0x28], 1);
  EXPECT_EQ(GetFloat(image, Field("ProtectionCounterA")), 0.0f);
  EXPECT_EQ(image[0x4D], 1);
  for (size_t i = 0x67; i <= 0x6D; ++i) EXPECT_EQ(image[i], 0) << i;
  EXPECT_EQ(image[0x6E], 0x77);
  EXPECT_EQ(image[0x6F], 0x77);
  for (size_t i = 0x70; i <= 0x79; ++i) EXPECT_EQ(image[i], 0) << i;
  EXPECT_EQ(image[0x7A], 0x77);
  EXPECT_EQ(image[0x7B], 1);
  for (size_t i = 0x7C; i < kRomImageSize; ++i) EXPECT_EQ(image[i], 0x77) << i;
}

}  // namespace
}  // namespace tarvo
