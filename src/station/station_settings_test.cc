#include "station/station_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "station/settings_page.h"
#include "station/station_files.h"
#include "station/station_test_rig.h"

namespace tarvo::station {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

struct StationSettingsTest : ::testing::Test, StationRig {};

TEST_F(StationSettingsTest, MissingFilesAreCreatedWithZerosOfTheirSize) {
  EXPECT_THAT(files.ReadStation1(), ElementsAre(0, 0, 0, 0, 0, 0));
  EXPECT_EQ(files.ReadStation2()[0], 0);
  EXPECT_EQ(files.ReadStationIndex(), 0);
  EXPECT_EQ(Bytes(files.PathOf("1.data")), std::vector<uint8_t>(6, 0));
  EXPECT_EQ(Bytes(files.PathOf("2.data")), std::vector<uint8_t>(3, 0));
  EXPECT_EQ(Bytes(files.PathOf("3.data")), std::vector<uint8_t>(1, 0));
}

TEST_F(StationSettingsTest, ShortFileReadsPaddedAndSaveRewritesItWhole) {
  std::ofstream(files.PathOf("1.data"), std::ios::binary) << "\x02"
                                                             "AB";
  EXPECT_THAT(files.ReadStation1(), ElementsAre(2, 'A', 'B', 0, 0, 0));
  ASSERT_TRUE(files.WriteStation1({1, 'X', 'Y', 'Z', 'P', 'C'}));
  EXPECT_THAT(Bytes(files.PathOf("1.data")), ElementsAre(1, 'X', 'Y', 'Z', 'P', 'C'));
  // No temporary file is left beside it.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(files.dir()))
    entries += e.path().extension() == ".data" ? 1 : 0;
  EXPECT_EQ(entries, 1);
}

TEST_F(StationSettingsTest, LoadStation1SettingsFillsOnlyItsBytes) {
  files.WriteStation1({1, 'A', 'B', '1', 'Z', '9'});
  HeadBlock block;
  block.fill(0xEE);
  ASSERT_TRUE(LoadStation1Settings(ctx, files, block));
  EXPECT_EQ(std::string(block.begin(), block.begin() + 8), "012AB1Z9");
  EXPECT_EQ(block[kModelNumberOffset], 1);
  EXPECT_EQ(block[kPageSizeOffset], 2);
  EXPECT_EQ(block[8], 0xEE);
  EXPECT_EQ(block[kModelNumberOffset + 1], 0xEE);
}

TEST_F(StationSettingsTest, CustomerCheckPutsJigNoOrCtIntoTheLabelRecord) {
  files.WriteStation2({0, 'C', 'T'});
  HeadBlock block{};
  std::copy_n("001", 3, block.begin());
  ChartLabel label;
  ASSERT_TRUE(CheckCustomer(ctx, files, block, label));
  EXPECT_THAT(label.jig_no, ElementsAre('C', 'T'));
  EXPECT_TRUE(op.messages().empty());

  std::copy_n("TBD", 3, block.begin());
  label = ChartLabel{};
  Outcome out = CheckCustomer(ctx, files, block, label);
  EXPECT_FALSE(out);
  EXPECT_THAT(MessageTexts(),
              ElementsAre("ERROR: Customer Setting Error !!\nROM: TBD\nStation 2: 001"));
  EXPECT_EQ(op.messages()[0].icon, Icon::kError);
  EXPECT_EQ(label, ChartLabel{});
}

TEST_F(StationSettingsTest, Station1EditorSavesAndRefusalsWriteNothing) {
  op.QueueDialogLine("fields Belt Name=ab1 PC Name=z9");
  ASSERT_TRUE(EditStation1Settings(ctx, files));
  EXPECT_THAT(Bytes(files.PathOf("1.data")), ElementsAre(0, 'A', 'B', '1', 'Z', '9'));

  // A two-letter Belt Name is refused; the operator gives up; the file keeps what it held.
  op.QueueDialogLine("fields Belt Name=ab");
  op.QueueDialogLine("cancel");
  EXPECT_EQ(EditStation1Settings(ctx, files).kind, OutcomeKind::kCancelled);
  ASSERT_EQ(op.refusals().size(), 1u);
  EXPECT_EQ(op.refusals()[0].text, "Length of Belt Name must be 3 !! ");
  EXPECT_THAT(Bytes(files.PathOf("1.data")), ElementsAre(0, 'A', 'B', '1', 'Z', '9'));
}

TEST_F(StationSettingsTest, Station2EditorStoresCtForIcAndReopensOnIc) {
  op.QueueDialogLine("fields Customer=061 ; QKL Korea; 220V; TR-420 Jig No / IC=IC");
  ASSERT_TRUE(EditStation2Settings(ctx, files));
  EXPECT_THAT(Bytes(files.PathOf("2.data")), ElementsAre(13, 'C', 'T'));
  bool checked = false;
  op.QueueDialog([&](DialogModel& d) {
    EXPECT_EQ(d.control(1183)->text, "CT");
    EXPECT_EQ(d.control(1136)->selected, 1);
    EXPECT_FALSE(d.control(1185)->enabled);
    checked = true;
    return DialogModel::kCancelId;
  });
  EditStation2Settings(ctx, files);
  EXPECT_TRUE(checked);
}

// A settings file that is there but is no file of its size stops the load and the check before
// they touch the block or the record, naming the file and what is wrong; the file is left as it is.
TEST_F(StationSettingsTest, SettingsFileOfAnotherKindOrSizeIsToldAndNotUsed) {
  namespace fs = std::filesystem;
  HeadBlock block;
  block.fill(0xEE);
  const HeadBlock untouched = block;
  ChartLabel label;

  fs::create_directory(files.PathOf("1.data"));
  EXPECT_EQ(LoadStation1Settings(ctx, files, block).kind, OutcomeKind::kNotDone);
  fs::remove(files.PathOf("1.data"));
  std::ofstream(files.PathOf("1.data"), std::ios::binary) << std::string(100, 'x');
  EXPECT_FALSE(LoadStation1Settings(ctx, files, block));
  std::ofstream(files.PathOf("1.data"), std::ios::binary) << "\x01"
                                                             "AB";
  EXPECT_FALSE(LoadStation1Settings(ctx, files, block));
  EXPECT_EQ(block, untouched);
  EXPECT_EQ(Bytes(files.PathOf("1.data")), (std::vector<uint8_t>{1, 'A', 'B'}));

  fs::create_directory(files.PathOf("2.data"));
  std::copy_n("001", 3, block.begin());
  EXPECT_FALSE(CheckCustomer(ctx, files, block, label));
  EXPECT_EQ(label, ChartLabel{});
  EXPECT_TRUE(fs::is_directory(files.PathOf("2.data")));

  EXPECT_THAT(
      MessageTexts(),
      ElementsAre("ERROR: Station Setting File Error !!\n1.data is a folder, not a file "
                  "of 6 bytes",
                  "ERROR: Station Setting File Error !!\n1.data holds 100 bytes instead of 6 bytes",
                  "ERROR: Station Setting File Error !!\n1.data holds 3 bytes instead of 6 bytes",
                  "ERROR: Station Setting File Error !!\n2.data is a folder, not a file "
                  "of 3 bytes"));
  for (const Message& m : op.messages()) EXPECT_EQ(m.icon, Icon::kError);

  // The library tells it in its own words.
  Forget();
  const Context library{kLibraryEdition, clock, op, settings, wire, files.dir()};
  EXPECT_FALSE(CheckCustomer(library, files, block, label));
  EXPECT_THAT(MessageTexts(),
              ElementsAre("ERROR: 站別設定檔錯誤 !!\n2.data 是資料夾,不是 3 位元組的檔案"));
}

TEST_F(StationSettingsTest, SoundAndMissingFilesReportNoFault) {
  StationFileFault fault;
  files.ReadStation1(&fault);  // missing: created with zeros
  EXPECT_FALSE(fault);
  EXPECT_EQ(Bytes(files.PathOf("1.data")), std::vector<uint8_t>(6, 0));
  files.ReadStation1(&fault);
  EXPECT_FALSE(fault);
  std::ofstream(files.PathOf("3.data"), std::ios::binary) << "\x01\x01";
  EXPECT_EQ(files.ReadStationIndex(&fault), 1);
  EXPECT_EQ(fault.kind, StationFileFault::Kind::kSize);
  EXPECT_EQ(fault.size, 2u);
}

}  // namespace
}  // namespace tarvo::station
