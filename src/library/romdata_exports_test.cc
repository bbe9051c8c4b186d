// The exports of the ROM data services: summary record, dump and initial values, files and
// flags, firmware images, motor and power-off tests.
#include <gmock/gmock.h>

#include "library_host_test.h"

namespace fennick_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

std::string Chars(const uint8_t* p, size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}

// ---------------------------------------------------------------- ROM data image and dump

using RomDumpExportsTest = LibraryTest;

TEST_F(RomDumpExportsTest, DumpTransferROMDataFillsTheSeventySevenBytes) {
  SeedEeprom(SampleImage());
  Api& api = LoadOpen();
  uint8_t record[77];
  std::memset(record, 0xEE, sizeof record);
  EXPECT_EQ(api.DumpTransferROMData(record), 1);
  EXPECT_EQ(Chars(record + 0, 3), "USA");
  EXPECT_EQ(Chars(record + 3, 6), "AB12CD");
  EXPECT_EQ(Chars(record + 9, 6), "SN0001");
  EXPECT_EQ(Chars(record + 27, 6), "TR-420");
  EXPECT_EQ(Chars(record + 37, 4), "0073");
  EXPECT_EQ(Int32At(record + 41), -1);  // TOF
  EXPECT_EQ(Int32At(record + 45), 0);   // Left Margin
  EXPECT_EQ(Int32At(record + 49), 5);   // MS1
  EXPECT_EQ(Int32At(record + 53), -3);  // MS2
  EXPECT_EQ(Int32At(record + 57), 0);   // VSD
  EXPECT_EQ(Int32At(record + 61), 2);   // ECN
  EXPECT_EQ(record[73], 0);             // InitialStuffFlag
  EXPECT_EQ(record[74], 1);             // FtFlag
  EXPECT_EQ(record[75], 7);             // UnplugAccumulation
  EXPECT_EQ(record[76], 9);             // TclCondition
  // What the record does not carry stays as the host passed it.
  for (size_t i : {33, 34, 35, 36, 65, 66, 67, 68, 69, 70, 71, 72}) EXPECT_EQ(record[i], 0xEE) << i;
}

TEST_F(RomDumpExportsTest, DumpTransferROMDataLeavesTheRecordOnAFailedRead) {
  SeedEeprom(SampleImage());
  Api& api = Load("?silent=1");
  ASSERT_EQ(api.HandleOpen(), 1);
  uint8_t record[77];
  std::memset(record, 0xEE, sizeof record);
  EXPECT_EQ(api.DumpTransferROMData(record), 0);
  for (uint8_t b : record) ASSERT_EQ(b, 0xEE);
}

TEST_F(RomDumpExportsTest, DumpDataConfirmedUnchangedWritesNothing) {
  SeedEeprom(SampleImage());
  Script("ok\n");
  Api& api = LoadOpen();
  api.DumpData(0);
  EXPECT_THAT(Transcript(), Contains("dialog 197 EEPROM Data"));
  EXPECT_FALSE(EepromWritten());
}

TEST_F(RomDumpExportsTest, SetInitialValueWritesAndReports) {
  SeedEeprom(SampleImage());
  Script("ok\n");
  Api& api = LoadOpen();
  api.SetInitialValue();
  EXPECT_THAT(Messages(), ElementsAre("Dump Data: ROM資料寫入成功 !!"));
  EXPECT_TRUE(EepromWritten());
}

// ---------------------------------------------------------------- files, reset and flags

using RomFileExportsTest = LibraryTest;

TEST_F(RomFileExportsTest, SaveFileThenLoadFileRoundTrip) {
  SeedEeprom(SampleImage());
  const fs::path backup = dir_ / "backup.rom";
  // The script is read once, when the library first needs its operator.
  Script("file " + backup.string() + "\nok\nfile " + backup.string() + "\nok\n");
  Api& api = LoadOpen();
  api.SaveFile();
  ASSERT_EQ(fs::file_size(backup), 128u);
  std::ifstream in(backup, std::ios::binary);
  std::vector<uint8_t> saved((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(saved, Eeprom());

  saved[0x15] = 'Q';
  WriteText(backup, std::string(saved.begin(), saved.end()));
  api.LoadFile();
  EXPECT_EQ(Eeprom()[0x15], 'Q');
  EXPECT_THAT(Messages(),
              ElementsAre("Save: Save to File Success !!", "Load: Load Data Success !!"));
}

TEST_F(RomFileExportsTest, SetFTFlagTakesExactlyOneAsOne) {
  auto image = SampleImage();
  image[0x7B] = 0;
  SeedEeprom(image);
  Script("enter 1\nenter 01\n");
  Api& api = LoadOpen();
  api.SetFTFlag();
  EXPECT_EQ(Eeprom()[0x7B], 1);
  api.SetFTFlag();
  EXPECT_EQ(Eeprom()[0x7B], 0);
}

TEST_F(RomFileExportsTest, SetInitialStuffCancelledWritesNothing) {
  SeedEeprom(SampleImage());
  Script("cancel\n");
  Api& api = LoadOpen();
  api.SetInitialStuff();
  EXPECT_FALSE(EepromWritten());
}

TEST_F(RomFileExportsTest, ResetAllKeepsOnlyTheConfirmedChargeFlagAndVersion) {
  SeedEeprom(SampleImage());
  Script("ok\nok\nok\n");
  Api& api = LoadOpen();
  api.ResetAll();
  EXPECT_THAT(Messages(), ElementsAre("Reset: Reset Data Success !!"));
  const std::vector<uint8_t> eeprom = Eeprom();
  EXPECT_EQ(Chars(eeprom.data() + 0x00, 3), std::string(3, '\0'));
  EXPECT_EQ(Chars(eeprom.data() + 0x15, 6), std::string(6, '\0'));
  EXPECT_EQ(Chars(eeprom.data() + 0x22, 4), "0073");
}

TEST_F(RomFileExportsTest, SetChargeWritesTheFlag) {
  SeedEeprom(SampleImage());
  Script("enter 1\nok\n");
  Api& api = LoadOpen();
  api.SetCharge();
  EXPECT_THAT(Messages(), ElementsAre("Charge: Set Charge Flag Success !!"));
  EXPECT_EQ(Eeprom()[0x4D], 1);
}

TEST_F(RomFileExportsTest, ReadFWAndReadFatalErrorCodeOnlyShow) {
  auto image = SampleImage();
  image[0x7C] = 200;
  SeedEeprom(image);
  Script("ok\nok\n");
  Api& api = LoadOpen();
  api.ReadFW();
  api.ReadFatalErrorCode();
  EXPECT_THAT(Transcript(), Contains("dialog 195 FW Version"));
  EXPECT_FALSE(EepromWritten());
}

// ---------------------------------------------------------------- firmware

using FirmwareExportsTest = LibraryTest;

TEST_F(FirmwareExportsTest, UpdateShippingFWSendsTheFixedImageOfItsType) {
  WriteText(dir_ / "Shipping_1C71.bin", std::string(300, 'x'));
  Script("ok\nok\n");
  Api& api = LoadOpen();
  api.UpdateShippingFW(1);
  api.UpdateShippingFW(7);
  EXPECT_THAT(Messages(),
              ElementsAre("Open File: 開檔失敗!! !!", "WriteFileX: MELoadFile Command寫入失敗!!"));
  api.HandleClose();
  ASSERT_EQ(State()["printouts"].size(), 1u);
  EXPECT_EQ(State()["printouts"][0]["files"][0]["size"], 300);
}

TEST_F(FirmwareExportsTest, UpdateFWSendsTheChosenImage) {
  WriteText(dir_ / "new.bin", std::string(1000, 'f'));
  Script("file " + (dir_ / "new.bin").string() + "\n");
  Api& api = LoadOpen();
  api.UpdateFW();
  EXPECT_THAT(Messages(), IsEmpty());
  api.HandleClose();
  ASSERT_EQ(State()["printouts"].size(), 1u);
  EXPECT_EQ(State()["printouts"][0]["files"][0]["size"], 1000);
}

TEST_F(FirmwareExportsTest, TransferflagWritesTheConvertedOldFile) {
  SeedEeprom(SampleImage());
  std::string old(124, '\0');
  old.replace(0x15, 6, "OLD123");
  WriteText(dir_ / "old.rom", old);
  Script("file " + (dir_ / "old.rom").string() + "\n");
  Api& api = LoadOpen();
  api.Transferflag();
  EXPECT_TRUE(EepromWritten());
  EXPECT_EQ(Chars(Eeprom().data() + 0x15, 6), "OLD123");
}

// ---------------------------------------------------------------- motor and power tests

using MotorExportsTest = LibraryTest;

TEST_F(MotorExportsTest, MotorActionSendsTheChosenAction) {
  Script("choose Release\n");
  Api& api = LoadOpen();
  api.MotorAction();
  EXPECT_THAT(Traffic(), ElementsAre("J(0,0)", "M(0,0,0,0,0,6)", "J(1,0)"));
}

TEST_F(MotorExportsTest, MotorMoveTestSendsOneMotorCommandBetweenJobMarks) {
  Script("motor CR CW 1 100 C HOME\n");
  Api& api = LoadOpen();
  api.MotorMoveTest();
  const auto traffic = Traffic();
  ASSERT_EQ(traffic.size(), 3u);
  EXPECT_EQ(traffic[0], "J(0,0)");
  EXPECT_THAT(traffic[1], HasSubstr(",100,"));
  EXPECT_EQ(traffic[2], "J(1,0)");
}

TEST_F(MotorExportsTest, PowerOffTestCancelledSendsNothing) {
  Script("cancel\nok\n");
  Api& api = LoadOpen();
  api.PowerOffTest();
  EXPECT_THAT(Traffic(), IsEmpty());
  api.PowerOffTest();
  EXPECT_THAT(Traffic(), ElementsAre("p(1)"));
}

}  // namespace
}  // namespace fennick_test
