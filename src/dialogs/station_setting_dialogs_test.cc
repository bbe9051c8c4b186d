#include "dialogs/station_setting_dialogs.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

void ExpectRefused(const PressOutcome& out, const std::string& text, int focus, bool select_all) {
  ASSERT_TRUE(out.refusal.has_value()) << "expected refusal " << text;
  EXPECT_FALSE(out.closed.has_value());
  EXPECT_EQ(out.refusal->text, text);
  EXPECT_EQ(out.refusal->caption, "Error");
  EXPECT_EQ(out.refusal->focus_id, focus);
  EXPECT_EQ(out.refusal->select_all, select_all);
}

PressOutcome SaveStation1(Station1Dialog& d, const std::string& belt, const std::string& pc) {
  d.control(Station1Dialog::kBeltId)->text = belt;
  d.control(Station1Dialog::kPcId)->text = pc;
  return d.Press(DialogModel::kOkId);
}

TEST(Station1Dialog, FreshStationShowsFirstRowAndSavesCapitals) {
  Station1Dialog d;
  d.PresetFromCurrent();
  d.Load();
  EXPECT_EQ(d.id(), 185);
  EXPECT_EQ(d.caption(), "Station1");
  EXPECT_EQ(d.control(1182)->text, "001 ; QAI ; TR-460");
  EXPECT_TRUE(d.control(1182)->read_only);
  EXPECT_EQ(d.control(1272)->options.size(), 14u);
  EXPECT_EQ(d.control(1272)->selected, 0);
  EXPECT_EQ(d.control(1185)->text, "");
  // The current setting stands in its own group above the new one.
  for (int id : {1182, 1183, 1184}) EXPECT_EQ(d.control(id)->group, "Current Setting") << id;
  for (int id : {1272, 1185, 1186}) EXPECT_EQ(d.control(id)->group, "") << id;
  d.control(1272)->selected = 3;
  PressOutcome out = SaveStation1(d, "ab1", "z9");
  ASSERT_TRUE(out.closed.has_value());
  EXPECT_EQ(d.destination, 3);
  EXPECT_EQ(d.belt_name, "AB1");
  EXPECT_EQ(d.pc_name, "Z9");
  EXPECT_EQ(d.control(1185)->text, "AB1");
}

TEST(Station1Dialog, ChecksInOrderWithTheTrailingBlank) {
  Station1Dialog d;
  d.current_belt = "OLD";
  d.current_pc = "PC";
  d.PresetFromCurrent();
  d.Load();
  EXPECT_EQ(d.control(1185)->text, "OLD");
  ExpectRefused(SaveStation1(d, "", ""), "Belt Name Can't be NULL !! ", 1185, false);
  ExpectRefused(SaveStation1(d, "AB", "Z9"), "Length of Belt Name must be 3 !! ", 1185, true);
  ExpectRefused(SaveStation1(d, "A-1", "Z9"), "Belt Name Error !! ", 1185, true);
  ExpectRefused(SaveStation1(d, "AB1", ""), "PC Name Can't be NULL !! ", 1186, false);
  ExpectRefused(SaveStation1(d, "AB1", "Z"), "Length of PC Name must be 2!! ", 1186, true);
  ExpectRefused(SaveStation1(d, "AB1", "Z."), "PC Name Error!! ", 1186, true);
  // Nothing refused changed the members.
  EXPECT_EQ(d.belt_name, "OLD");
  EXPECT_EQ(d.pc_name, "PC");
  EXPECT_EQ(d.Press(DialogModel::kCancelId).closed, DialogResult::kCancel);
}

TEST(Station1Dialog, IndexOutsideTheTableShowsNoCustomerAndRefusesSaveUntilChosen) {
  Station1Dialog d;
  d.current_destination = 20;
  d.PresetFromCurrent();
  d.Load();
  EXPECT_EQ(d.control(1182)->text, "");
  EXPECT_EQ(d.control(1272)->selected, -1);
  ExpectRefused(SaveStation1(d, "AB1", "Z9"), "Please select a Customer !!", 1272, false);
  d.control(1272)->selected = 13;
  EXPECT_TRUE(SaveStation1(d, "AB1", "Z9").closed.has_value());
  EXPECT_EQ(d.destination, 13);
}

TEST(Station2Dialog, IcStoresCtAndDisablesTheBox) {
  Station2Dialog d;
  d.current_value = "07";
  d.PresetFromCurrent();
  d.Load();
  EXPECT_EQ(d.id(), 186);
  EXPECT_EQ(d.caption(), "Station2");
  EXPECT_EQ(d.control(1183)->text, "07");
  EXPECT_EQ(d.control(1136)->selected, 0);
  EXPECT_EQ(d.control(1185)->text, "07");
  EXPECT_TRUE(d.control(1185)->enabled);

  d.control(1136)->selected = 1;
  d.Changed(1136);
  EXPECT_FALSE(d.control(1185)->enabled);
  ASSERT_TRUE(d.Press(DialogModel::kOkId).closed.has_value());
  EXPECT_EQ(d.value, "CT");
  EXPECT_TRUE(d.ic);

  // Reopened with "CT": "IC" chosen, the box disabled and empty.
  Station2Dialog again;
  again.current_value = "CT";
  again.PresetFromCurrent();
  again.Load();
  EXPECT_EQ(again.control(1136)->selected, 1);
  EXPECT_FALSE(again.control(1185)->enabled);
  EXPECT_EQ(again.control(1185)->text, "");
  // Back to "Jig No": the box is enabled and takes the focus.
  again.control(1136)->selected = 0;
  again.Changed(1136);
  EXPECT_TRUE(again.control(1185)->enabled);
  EXPECT_EQ(again.focus_id, 1185);
}

TEST(Station2Dialog, JigNoChecksAndCapitals) {
  Station2Dialog d;
  d.PresetFromCurrent();
  d.Load();
  auto save = [&](const std::string& text) {
    d.control(1185)->text = text;
    return d.Press(DialogModel::kOkId);
  };
  ExpectRefused(save(""), "Jig No Can't be NULL !!", 1185, false);
  ExpectRefused(save("123"), "Length of Jig No must be 2 !!", 1185, true);
  ExpectRefused(save("a+"), "Jig No Error !!", 1185, true);
  EXPECT_EQ(d.value, "");
  ASSERT_TRUE(save("a7").closed.has_value());
  EXPECT_EQ(d.value, "A7");
  EXPECT_EQ(d.destination, 0);
}

TEST(Station2Dialog, IndexOutsideTheTableRefusesSave) {
  Station2Dialog d;
  d.current_destination = 255;
  d.current_value = "CT";
  d.PresetFromCurrent();
  d.Load();
  EXPECT_EQ(d.control(1182)->text, "");
  ExpectRefused(d.Press(DialogModel::kOkId), "Please select a Customer !!", 1272, false);
}

}  // namespace
}  // namespace tarvo
