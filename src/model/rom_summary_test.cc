#include "model/rom_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tarvo {
namespace {

RomImage SampleImage(int8_t model_number) {
  RomImage image{};
  std::copy_n("001", 3, image.begin() + kModelNameOffset);
  std::copy_n("ABCDE0404070905030", 18, image.begin() + kUsbSerialNoOffset);
  std::copy_n("HD1234", 6, image.begin() + kHeadIdOffset);
  image[kMs1AdjustOffset] = 0xC8;  // -56
  image[kMs2AdjustOffset] = 0xF6;
  image[kVsdAdjustOffset] = 0xF5;
  image[kEcnAdjustOffset] = 0xFC;
  image[kTofAdjustOffset] = 0x05;
  image[kLeftMarginOffset] = 0xFF;
  image[kModelNumberOffset] = static_cast<uint8_t>(model_number);
  image[kInitialStuffFlagOffset] = 1;
  image[kFtFlagOffset] = 0x81;
  image[kUnplugAccumulationOffset] = 24;
  image[kTclConditionOffset] = 3;
  return image;
}

std::string Text(const RomSummary& r, size_t at, size_t n) {
  return std::string(r.begin() + static_cast<std::ptrdiff_t>(at),
                     r.begin() + static_cast<std::ptrdiff_t>(at + n));
}

TEST(RomSummary, CondensesIdentityAdjustmentsAndFlags) {
  RomSummary record;
  record.fill(0xEE);
  FillRomSummary(record, SampleImage(1), "0073", kLibraryEdition);

  EXPECT_EQ(Text(record, summary::kModelName, 3), "001");
  EXPECT_EQ(Text(record, summary::kHeadId, 6), "HD1234");
  EXPECT_EQ(Text(record, summary::kUsbSerialNo, 18), "ABCDE0404070905030");
  EXPECT_EQ(Text(record, summary::kModel, 6), "TR-420");
  EXPECT_EQ(Text(record, summary::kFwVersion, 4), "0073");
  EXPECT_EQ(SummaryInt(record, summary::kMs1), -56);
  EXPECT_EQ(SummaryInt(record, summary::kMs2), -10);
  EXPECT_EQ(SummaryInt(record, summary::kVsd), -11);
  EXPECT_EQ(SummaryInt(record, summary::kEcn), -4);
  EXPECT_EQ(SummaryInt(record, summary::kTof), 5);
  EXPECT_EQ(SummaryInt(record, summary::kLeftMargin), -1);
  EXPECT_EQ(record[summary::kInitialStuffFlag], 1);
  EXPECT_EQ(record[summary::kFtFlag], 0x81);
  EXPECT_EQ(record[summary::kUnplugAccumulation], 24);
  EXPECT_EQ(record[summary::kTclCondition], 3);
  // The unwritten bytes and the counts the viewer fills stay as they were.
  for (size_t i = 33; i < 37; ++i) EXPECT_EQ(record[i], 0xEE) << i;
  for (size_t i = 65; i < 73; ++i) EXPECT_EQ(record[i], 0xEE) << i;
}

TEST(RomSummary, ModelNameFollowsModelNumberOrIsLeftAlone) {
  const char* names[] = {"TR-460", "TR-420", "TR-380"};
  for (int8_t n = 0; n < 3; ++n) {
    RomSummary record{};
    FillRomSummary(record, SampleImage(n), "0073", kProgramEdition);
    EXPECT_EQ(Text(record, summary::kModel, 6), names[n]);
  }
  for (int8_t n : {int8_t{3}, int8_t{-1}}) {
    RomSummary record{};
    std::copy_n("caller", 6, record.begin() + summary::kModel);
    FillRomSummary(record, SampleImage(n), "0073", kProgramEdition);
    EXPECT_EQ(Text(record, summary::kModel, 6), "caller") << int{n};
  }
}

TEST(RomSummary, ProgramFormEndsAtFtFlag) {
  RomSummary record;
  record.fill(0xEE);
  FillRomSummary(record, SampleImage(0), "0073", kProgramEdition);
  EXPECT_EQ(record[summary::kFtFlag], 0x81);
  EXPECT_EQ(record[kProgramSummarySize], 0xEE);
  EXPECT_EQ(record[kProgramSummarySize + 1], 0xEE);
}

}  // namespace
}  // namespace tarvo
