#include "model/chart_label.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(ChartLabelTest, FieldsSitAtTheirBytes) {
  ChartLabelBytes bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i + 1);
  const ChartLabel label = ChartLabel::Decode(bytes);
  EXPECT_EQ(label.jig_no[0], 1);
  EXPECT_EQ(label.jig_no[1], 2);
  EXPECT_EQ(label.machine_no[0], 3);
  EXPECT_EQ(label.machine_no[4], 7);
  EXPECT_EQ(label.machine_id[0], 8);
  EXPECT_EQ(label.machine_id[12], 20);
  EXPECT_EQ(label.ink_charges, 21);
  EXPECT_EQ(label.nozzle_cleanings, 22);
  EXPECT_EQ(label.chart_prints, 23);
  EXPECT_EQ(label.spare, 24);
  EXPECT_EQ(label.Encode(), bytes);
}

TEST(ChartLabelTest, AZeroRecordIsAnEmptyLabel) {
  EXPECT_EQ(ChartLabel::Decode(ChartLabelBytes{}), ChartLabel{});
  EXPECT_EQ(ChartLabel{}.Encode(), ChartLabelBytes{});
}

}  // namespace
}  // namespace tarvo
