// The exports of the printer link, the maintenance commands, EEPROM access, head maintenance,
// alignment and chart printing, called through dlopen against the simulated printer.
#include <gmock/gmock.h>

#include "library_host_test.h"

namespace fennick_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// ---------------------------------------------------------------- printer link

using LinkExportsTest = LibraryTest;

TEST_F(LinkExportsTest, OpenRetriesThenTellsThePrinterIsOffLine) {
  Api& api = Load("?absent=1");
  EXPECT_EQ(api.HandleOpen(), 0);
  EXPECT_THAT(Messages(), ElementsAre("ERROR: 印表機離線!!"));
  EXPECT_THAT(Transcript(), Contains("window Connect: 連線中....請稍等 !!"));
  EXPECT_EQ(api.HandleClose(), 0);
}

TEST_F(LinkExportsTest, PrinterAppearingWhileRetryingIsOpened) {
  Api& api = Load("?appear_after=4");
  EXPECT_EQ(api.HandleOpen(), 1);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_NE(api.HandleClose(), 0);
}

// ---------------------------------------------------------------- commands

using CommandExportsTest = LibraryTest;

TEST_F(CommandExportsTest, ReadTemperatureBeginWithoutOpenReturnsMinusOneAfterTheMessage) {
  Api& api = Load();
  EXPECT_EQ(api.ReadTemperatureBegin(), -1);
  EXPECT_THAT(Messages(), Contains("WriteFileX: Write MELoadFile Command Error !!"));
}

TEST_F(CommandExportsTest, ReadTemperatureBeginFramesTheQueryWithJobMarks) {
  Api& api = LoadOpen();
  EXPECT_EQ(api.ReadTemperatureBegin(), 25);
  EXPECT_THAT(Traffic(), ElementsAre("J(0,0)", "T", "J(1,0)"));
}

TEST_F(CommandExportsTest, ReadRamFWPtrGivesTheVersionBytesFirstInTheLowestByte) {
  Api& api = LoadOpen();
  uint32_t value = 0;
  EXPECT_EQ(api.ReadRamFWPtr(&value), 1);
  EXPECT_EQ(value, 0x33373030u);  // "0073"
}

TEST_F(CommandExportsTest, PowerOffSendsTheShipmentFlag) {
  Api& api = LoadOpen();
  EXPECT_NE(api.PowerOff(1), 0);
  EXPECT_THAT(Traffic(), ElementsAre("p(1)"));
  api.HandleClose();
  EXPECT_EQ(State()["powered"], false);
}

TEST_F(CommandExportsTest, MELoadFilePtrWithCountZeroFailsAfterTheOpenFileMessage) {
  Api& api = LoadOpen();
  EXPECT_EQ(api.MELoadFilePtr("I_NC_1.prn", 0), 0);
  EXPECT_EQ(api.MELoadFilePtr(nullptr, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("Open File: 開檔失敗!! !!", "Open File: 開檔失敗!! !!"));
  EXPECT_THAT(Traffic(), IsEmpty());
}

TEST_F(CommandExportsTest, MELoadFilePtrTakesExactlyCountCharacters) {
  Api& api = LoadOpen();
  // The characters after the count are not part of the name; no terminator is needed.
  EXPECT_EQ(api.MELoadFilePtr("I_NC_1.prnXYZ", 10), 1);
  EXPECT_EQ(api.MELoadFilePtr("I_NC_1.prn", 9), 0);
  EXPECT_THAT(Messages(), ElementsAre("Open File: 開檔失敗!! I_NC_1.pr!!"));
  api.HandleClose();
  ASSERT_EQ(State()["printouts"].size(), 1u);
  EXPECT_EQ(State()["printouts"][0]["files"][0]["size"], fs::file_size(dir_ / "I_NC_1.prn"));
}

// ---------------------------------------------------------------- EEPROM access

using EepromExportsTest = LibraryTest;

TEST_F(EepromExportsTest, ReadDataFillsTheHostsBlock) {
  SeedEeprom(SampleImage());
  Api& api = LoadOpen();
  uint8_t block[41] = {};
  EXPECT_NE(api.ReadData(block, nullptr), 0);
  const auto image = SampleImage();
  EXPECT_TRUE(std::equal(block, block + 41, image.begin()));
}

TEST_F(EepromExportsTest, ReadDataLeavesTheBufferUnchangedOnATransferFailure) {
  for (const char* fault : {"?silent=1", "?fail_write_after=0"}) {
    SCOPED_TRACE(fault);
    SeedEeprom(SampleImage());
    Api& api = Load(fault);
    ASSERT_EQ(api.HandleOpen(), 1);
    uint8_t block[41];
    std::memset(block, 0x5A, sizeof block);
    EXPECT_NE(api.ReadData(block, block), 0);
    for (uint8_t b : block) ASSERT_EQ(b, 0x5A);
    EXPECT_THAT(Messages(), Not(IsEmpty()));
    TearDown();
    SetUp();
  }
}

TEST_F(EepromExportsTest, SetHeadIDCancelledReturnsTwoWithTheBlockUnchanged) {
  SeedEeprom(SampleImage());
  Script("cancel\n");
  Api& api = LoadOpen();
  uint8_t block[41];
  std::memset(block, 0x5A, sizeof block);
  EXPECT_EQ(api.SetHeadID(block), 2);
  for (uint8_t b : block) ASSERT_EQ(b, 0x5A);
  EXPECT_FALSE(EepromWritten());
  const auto image = SampleImage();
  EXPECT_EQ(Eeprom(), std::vector<uint8_t>(image.begin(), image.end()));
}

TEST_F(EepromExportsTest, SetHeadIDHandsBackWhatWasWritten) {
  SeedEeprom(SampleImage());
  Script("enter zz9876\nok\n");
  Api& api = LoadOpen();
  uint8_t block[41] = {};
  ASSERT_NE(api.ReadData(block, nullptr), 0);
  EXPECT_EQ(api.SetHeadID(block), 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block) + 0x15, 6), "ZZ9876");
  EXPECT_THAT(Messages(), ElementsAre("Head ID: 寫入初始資料成功 !!"));
  const std::vector<uint8_t> eeprom = Eeprom();
  EXPECT_TRUE(std::equal(block, block + 41, eeprom.begin()));
}

TEST_F(EepromExportsTest, SetInkSystemValueWritesTheSettingsIntoTheImage) {
  SeedEeprom(SampleImage());
  WriteText(dir_ / "settings.json",
            R"({"SOFTWARE\\CorvidFT\\SelectPrinter": {"unplugA": "03", "tclCond": "04"}})");
  Api& api = LoadOpen();
  EXPECT_EQ(api.SetInkSystemValue(), 1);
  const std::vector<uint8_t> eeprom = Eeprom();
  EXPECT_EQ(eeprom[0x6E], 3);
  EXPECT_EQ(eeprom[0x6F], 4);
}

// ---------------------------------------------------------------- head maintenance

using MaintenanceExportsTest = LibraryTest;

TEST_F(MaintenanceExportsTest, NozzleCleanCountsInTheLabelAndWaitsUnderPrinterBusy) {
  Api& api = LoadOpen();
  uint8_t label[24] = {};
  label[21] = 255;
  api.NozzleClean(label, 4);  // a mode of the library only
  EXPECT_EQ(label[21], 0);
  EXPECT_THAT(Traffic(), ElementsAre("REMOTE CH 2", "wait 10000"));
  EXPECT_THAT(Transcript(), Contains("window Printer Busy: Printer Busy...Please Wait !!"));
}

TEST_F(MaintenanceExportsTest, NozzleCleanRefusesAnUnknownModeBeforeCounting) {
  Api& api = LoadOpen();
  uint8_t label[24] = {};
  api.NozzleClean(label, 5);
  EXPECT_EQ(label[21], 0);
  EXPECT_THAT(Traffic(), IsEmpty());
}

TEST_F(MaintenanceExportsTest, LubricationAndInkChargeRunTheirSequences) {
  Script("ok\nok\n");
  Api& api = LoadOpen();
  api.Lubrication();
  EXPECT_THAT(Traffic(), Contains("wait 12000"));
  api.InkCharge();
  EXPECT_THAT(Messages(), ElementsAre("Ink DisCharge: 等馬達靜止,再按ok!!",
                                      "Ink DisCharge: 等馬達靜止,再按ok!!"));
}

TEST_F(MaintenanceExportsTest, InkDisChargeNoPowerOffStoresTheShippingFlagsAndLeavesThePrinterOn) {
  SeedEeprom(SampleImage());
  Script("ok\nno\nok\nok\n");
  Api& api = LoadOpen();
  EXPECT_EQ(api.InkDisChargeNoPowerOff(1), 1);
  EXPECT_THAT(Messages(),
              ElementsAre("Ink DisCharge: 更換/放入排墨治具!!", "Ink DisCharge: 取出排墨治具!!",
                          "Ink DisCharge: 排墨完成!!"));
  EXPECT_THAT(Traffic(), Not(Contains(HasSubstr("p("))));
  EXPECT_EQ(Eeprom()[0x28], 1);  // FitToPage
  EXPECT_EQ(Eeprom()[0x7B], 1);  // FtFlag
}

TEST_F(MaintenanceExportsTest, InkDisChargeFailsWhenItsImageCannotBeRead) {
  auto image = SampleImage();
  image[0x7B] = 0;
  SeedEeprom(image);
  // The printer takes every command but never answers: the finishing cannot read the image.
  Script("ok\nno\nok\n");
  Api& api = Load("?silent=1");
  ASSERT_EQ(api.HandleOpen(), 1);
  EXPECT_EQ(api.InkDisCharge(1), 0);
  // It stops before the power-off and the closing prompts.
  EXPECT_THAT(Messages(),
              ElementsAre("Ink DisCharge:  更換排墨治具 !!", "Ink DisCharge: 取出排墨治具!!"));
  EXPECT_FALSE(EepromWritten());
  EXPECT_THAT(Traffic(), Not(Contains(HasSubstr("p("))));
}

// ---------------------------------------------------------------- alignment

using AlignmentExportsTest = LibraryTest;

TEST_F(AlignmentExportsTest, TofStoresTheValueTriedLast) {
  SeedEeprom(SampleImage());  // TofAdjust -1
  Script("choose 2\nchoose 2\nchoose 1\n");
  Api& api = LoadOpen();
  uint8_t block[44] = {}, read_back[44] = {}, label[24] = {};
  ASSERT_NE(api.ReadData(block, nullptr), 0);
  EXPECT_EQ(api.TOF(block, read_back, label), 1);
  EXPECT_THAT(Traffic(), Contains("TOF(0)"));
  EXPECT_THAT(Traffic(), Contains("TOF(1)"));
  EXPECT_EQ(label[22], 3);
  EXPECT_EQ(block[0x1F], 1);
  EXPECT_EQ(read_back[0x1F], 1);
  EXPECT_EQ(Eeprom()[0x1F], 1);
  // The padding after the 41 bytes is the host's own.
  EXPECT_EQ(block[41], 0);
}

TEST_F(AlignmentExportsTest, BiAdjustBeyondSixtyReturnsThreeAndWritesNothing) {
  auto image = SampleImage();
  image[0x1B] = 55;
  SeedEeprom(image);
  Script("ok 10\nok\n");
  Api& api = LoadOpen();
  uint8_t block[44] = {}, read_back[44], label[24] = {};
  std::memset(read_back, 0x5A, sizeof read_back);
  ASSERT_NE(api.ReadData(block, nullptr), 0);
  EXPECT_EQ(api.BiAdjust(block, read_back, label, 0), 3);
  EXPECT_THAT(Messages(), ElementsAre("MS1: 調整Bi-d 位移值失敗 !!"));
  EXPECT_THAT(Traffic(), Contains("D(8,8,18,8)"));
  EXPECT_FALSE(EepromWritten());
  EXPECT_EQ(Eeprom(), std::vector<uint8_t>(image.begin(), image.end()));
  EXPECT_EQ(block[0x1B], 65);  // the last total tried
  for (uint8_t b : read_back) ASSERT_EQ(b, 0x5A);
}

TEST_F(AlignmentExportsTest, BiAdjustStoresTheRunningTotal) {
  SeedEeprom(SampleImage());  // MS2 -3
  Script("reprint 5\nok -2\n");
  Api& api = LoadOpen();
  uint8_t block[44] = {}, read_back[44] = {}, label[24] = {};
  ASSERT_NE(api.ReadData(block, nullptr), 0);
  EXPECT_EQ(api.BiAdjust(block, read_back, label, 1), 1);
  EXPECT_THAT(Traffic(), Contains("D(13,8,8,8)"));
  EXPECT_THAT(Traffic(), Contains("D(6,8,8,8)"));
  EXPECT_EQ(static_cast<int8_t>(block[0x1C]), 0);
  EXPECT_EQ(Eeprom()[0x1C], 0);
  EXPECT_TRUE(std::equal(read_back, read_back + 41, block));
}

TEST_F(AlignmentExportsTest, BiAdjustRefusesAnUnknownModeBeforePrinting) {
  Api& api = LoadOpen();
  uint8_t block[44] = {}, read_back[44] = {}, label[24] = {};
  EXPECT_EQ(api.BiAdjust(block, read_back, label, 4), 2);
  EXPECT_EQ(api.BiAdjust(block, read_back, label, 0x80000000u), 2);
  EXPECT_THAT(Traffic(), IsEmpty());
  EXPECT_EQ(label[22], 0);
}

// ---------------------------------------------------------------- chart printing

using ChartExportsTest = LibraryTest;

FennickHead44 HeadOf(const std::array<uint8_t, 128>& image) {
  FennickHead44 head{};
  std::memcpy(head.bytes, image.data(), 41);
  return head;
}

TEST_F(ChartExportsTest, PrintChartPrintsTheHeadGivenByValueAndCounts) {
  Api& api = LoadOpen();
  uint8_t label[24] = {'C', 'T'};
  api.PrintChart(HeadOf(SampleImage()), label, 5);
  EXPECT_EQ(label[22], 1);
  api.HandleClose();
  const auto pages = HeaderPages();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_THAT(pages[0], HasSubstr("[CT 01 00 00]"));
  EXPECT_THAT(pages[0], HasSubstr("MS1= 05 / MS2=-03 / VSD= 00 / ECN= 02"));
  EXPECT_THAT(pages[0], HasSubstr("HeadID=AB12CD"));
}

TEST_F(ChartExportsTest, ChartFilesComeFromTheStationFolderWhateverTheCurrentDirectory) {
  struct StationDirEnv {
    explicit StationDirEnv(const fs::path& dir) { setenv("TARVO_STATION_DIR", dir.c_str(), 1); }
    ~StationDirEnv() { unsetenv("TARVO_STATION_DIR"); }
  } env(dir_);
  fs::current_path(fs::temp_directory_path());  // the chart files are not here
  Api& api = LoadOpen();
  uint8_t label[24] = {'C', 'T'};
  api.PrintChart(HeadOf(SampleImage()), label, 5);
  EXPECT_EQ(label[22], 1);
  api.HandleClose();
  ASSERT_EQ(HeaderPages().size(), 1u);
}

TEST_F(ChartExportsTest, SetDLLVersionChangesOnlyLaterCharts) {
  Api& api = LoadOpen();
  uint8_t label[24] = {};
  api.PrintChart(HeadOf(SampleImage()), label, 5);
  api.SetDLLVersion("B123");
  api.PrintChart(HeadOf(SampleImage()), label, 5);
  const char shorter[4] = {'Z', '9', '\0', 'Q'};
  api.SetDLLVersion(shorter);
  api.PrintChart(HeadOf(SampleImage()), label, 5);
  api.HandleClose();
  const auto pages = HeaderPages();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_THAT(pages[0], HasSubstr("FW/FT=0073/A080 "));
  EXPECT_THAT(pages[1], HasSubstr("FW/FT=0073/B123 "));
  EXPECT_THAT(pages[2], HasSubstr("FW/FT=0073/Z9 "));
}

TEST_F(ChartExportsTest, ChartBeyondEighteenPrintsNothing) {
  Api& api = LoadOpen();
  uint8_t label[24] = {};
  api.PrintChart(HeadOf(SampleImage()), label, 19);
  EXPECT_THAT(Messages(), Contains(HasSubstr("Open File: 開檔失敗!! ")));
  api.HandleClose();
  EXPECT_THAT(HeaderPages(), IsEmpty());
}

}  // namespace
}  // namespace fennick_test
