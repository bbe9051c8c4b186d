#include "dialogs/eeprom_data_dialog.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

RomImage SampleImage() {
  RomImage image{};
  SetChars(image, *FindField("ModelName"), "CT1");
  SetChars(image, *FindField("UsbSerialNo"), "SN0001");
  SetInt(image, *FindField("Ms1Adjust"), -10);
  SetInt(image, *FindField("InkCounterRb0"), 0xFFFF);
  SetInt(image, *FindField("ClTimer"), -5);
  SetFloat(image, *FindField("ProtectionCounterA"), 123456.78f);  // more than 6 digits show
  SetInt(image, *FindField("UnplugAccumulation"), 200);
  image[0x7C] = 0x42;  // FatalErrorCode: not in the dialog
  return image;
}

TEST(EepromDataDialog, FieldsAndColumnsPerEdition) {
  EepromDataDialog program(kProgramEdition);
  EepromDataDialog library(kLibraryEdition);
  EXPECT_EQ(program.fields.size(), 47u);
  EXPECT_EQ(library.fields.size(), 45u);
  EXPECT_NE(program.FindById(1306), nullptr);
  EXPECT_NE(program.Find("TCL Condition"), nullptr);
  EXPECT_EQ(library.FindById(1306), nullptr);
  EXPECT_EQ(library.FindById(1307), nullptr);

  program.Load();
  std::vector<int> first, second;
  for (const Control& c : program.controls()) {
    if (c.kind == ControlKind::kButton) continue;
    (c.column == 0 ? first : second).push_back(c.id);
  }
  EXPECT_EQ(first.size(), 23u);
  EXPECT_EQ(first.front(), 1182);
  EXPECT_EQ(first.back(), 1306);
  EXPECT_EQ(second.size(), 24u);
  EXPECT_EQ(second.front(), 1206);
  EXPECT_EQ(second.back(), 1279);
  EXPECT_EQ(program.control(1184)->kind, ControlKind::kText);
  EXPECT_EQ(program.control(1196)->kind, ControlKind::kDecimal);
  EXPECT_EQ(program.control(1215)->kind, ControlKind::kInteger);
  EXPECT_EQ(program.control(1215)->label, "TCL");
}

TEST(EepromDataDialog, LoadShowsTypedValues) {
  EepromDataDialog dialog(kProgramEdition);
  RomImage image = SampleImage();
  dialog.LoadFrom(image);
  EXPECT_EQ(dialog.Find("Model Name (CT)")->text, "CT1");
  EXPECT_EQ(dialog.Find("USB S/No.")->text, "SN0001");
  EXPECT_EQ(dialog.Find("MS1")->text, "-10");
  EXPECT_EQ(dialog.Find("Ink Counter Rb0")->text, "65535");
  EXPECT_EQ(dialog.Find("CL Timer")->text, "-5");
  EXPECT_EQ(dialog.Find("Unplug Acmlt")->text, "200");
  EXPECT_EQ(dialog.Find("Protection Counter A")->text, "123457");
}

TEST(EepromDataDialog, ConfirmingWithoutEditsChangesNoByte) {
  EepromDataDialog dialog(kProgramEdition);
  RomImage image = SampleImage();
  image[0x03 + 8] = 'Z';  // a byte after the serial number's terminating zero
  dialog.LoadFrom(image);
  dialog.Load();
  EXPECT_EQ(*dialog.Press(DialogModel::kOkId).closed, DialogResult::kOk);
  RomImage stored = image;
  ASSERT_TRUE(dialog.StoreInto(stored));
  EXPECT_EQ(stored, image);
}

TEST(EepromDataDialog, StoreTruncatesAndPads) {
  EepromDataDialog dialog(kProgramEdition);
  RomImage image = SampleImage();
  dialog.LoadFrom(image);
  dialog.Find("MS1")->text = "200";
  dialog.Find("Ink Counter Rb0")->text = "70000";
  dialog.Find("USB S/No.")->text = "ABCDE";
  dialog.Find("Model Name (CT)")->text = "ABCDEFGHIJ";
  dialog.Find("Ink Consumption Counter Cm")->text = "1.5";
  ASSERT_TRUE(dialog.StoreInto(image));
  EXPECT_EQ(image[0x1B], 0xC8);
  EXPECT_EQ(GetInt(image, *FindField("Ms1Adjust")), -56);
  EXPECT_EQ(GetInt(image, *FindField("InkCounterRb0")), 4464);
  EXPECT_EQ(GetChars(image, *FindField("UsbSerialNo")),
            std::string("ABCDE") + std::string(13, '\0'));
  EXPECT_EQ(GetChars(image, *FindField("ModelName")), "ABC");
  EXPECT_EQ(GetFloat(image, *FindField("InkConsumptionCm")), 1.5f);
  EXPECT_EQ(image[0x7C], 0x42);
}

TEST(EepromDataDialog, CharacterFieldsHoldLatin1) {
  EepromDataDialog dialog(kProgramEdition);
  RomImage image = SampleImage();
  std::fill_n(image.begin() + kHeadIdOffset, kHeadIdSize, uint8_t{0xFF});
  dialog.LoadFrom(image);
  EXPECT_EQ(dialog.Find("Print Head ID")->text, "ÿÿÿÿÿÿ");
  dialog.Find("Model Name (CT)")->text = "éÿAB";  // cut after three characters, not bytes
  ASSERT_TRUE(dialog.StoreInto(image));
  EXPECT_EQ(GetChars(image, *FindField("ModelName")),
            "\xE9\xFF"
            "A");
  EXPECT_EQ(image[kHeadIdOffset], 0xFF);  // shown unchanged, so left as it was
  dialog.Find("Model Name (CT)")->text = "€";
  EXPECT_FALSE(dialog.StoreInto(image));
}

TEST(EepromDataDialog, NumberBoxesRefuseText) {
  EepromDataDialog dialog(kProgramEdition);
  dialog.LoadFrom(SampleImage());
  dialog.Load();
  dialog.control(1226)->text = "lots";  // Local Counter 1
  dialog.control(1199)->text = "nan";   // Ink Consumption Counter Cb
  PressOutcome out = dialog.Press(DialogModel::kOkId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->text, "Please enter a number.");  // the first in layout order
  EXPECT_EQ(out.refusal->focus_id, 1199);
  EXPECT_EQ(out.refusal->caption, "EEPROM Data");
  dialog.control(1199)->text = "1e39";  // beyond a 32-bit float
  EXPECT_EQ(dialog.Press(DialogModel::kOkId).refusal->focus_id, 1199);
  dialog.control(1199)->text = "2.25";
  out = dialog.Press(DialogModel::kOkId);
  ASSERT_TRUE(out.refusal);
  EXPECT_EQ(out.refusal->text, "Please enter an integer.");
  EXPECT_EQ(out.refusal->focus_id, 1226);
  EXPECT_EQ(dialog.FindById(1199)->text, "0");  // nothing taken while refused

  dialog.FindById(1226)->text = "lots";
  RomImage image = SampleImage();
  RomImage before = image;
  EXPECT_FALSE(dialog.StoreInto(image));
  EXPECT_EQ(image, before);
}

TEST(EepromDataDialog, LibraryLeavesItsHiddenBytesAlone) {
  EepromDataDialog dialog(kLibraryEdition);
  RomImage image = SampleImage();
  dialog.LoadFrom(image);
  for (auto& f : dialog.fields) {
    if (f.field->type == FieldType::kSigned || f.field->type == FieldType::kUnsigned) f.text = "0";
  }
  ASSERT_TRUE(dialog.StoreInto(image));
  EXPECT_EQ(image[0x6E], 200);
  EXPECT_EQ(GetInt(image, *FindField("InkCounterRb0")), 0);
}

}  // namespace
}  // namespace tarvo
