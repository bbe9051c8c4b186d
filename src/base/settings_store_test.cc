#include "base/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct FileSettingsStoreTest : ::testing::Test {
  FileSettingsStore Store() {
    return FileSettingsStore(dir / "settings.json",
                             [this](const std::string& p) { problems.push_back(p); });
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::vector<std::string> problems;
};

TEST_F(FileSettingsStoreTest, MissingFileAndMissingValuesReadAsNothing) {
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_TRUE(problems.empty());
}

TEST_F(FileSettingsStoreTest, ValuesRoundTripAcrossStoresWithTheirWidth) {
  {
    auto store = Store();
    EXPECT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", -3));
    EXPECT_TRUE(store.WriteByte(kSelectPrinterKey, "tclCond", 7));
    EXPECT_TRUE(store.WriteInt32(kProgramKey, "Port", 1));
  }
  auto store = Store();  // a second process sees what the first wrote
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), -3);
  EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "tclCond"), 7);
  EXPECT_EQ(store.ReadInt32(kProgramKey, "Port"), 1);
  // A value of another width counts as missing, so the caller keeps its default.
  EXPECT_FALSE(store.ReadByte(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "tclCond"));
  // The bytes are stored little-endian as hex.
  std::ifstream in(dir / "settings.json");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("\"fdffffff\""), std::string::npos) << text;
}

TEST_F(FileSettingsStoreTest, CorruptFileIsReportedOnceReadAsEmptyAndKeptAtTheNextWrite) {
  std::ofstream(dir / "settings.json") << "{ not json";
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS2"));
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", 5));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), 5);
  EXPECT_TRUE(fs::exists(dir / "settings.json.corrupt"));
}

TEST_F(FileSettingsStoreTest, OddValuesInAValidFileNeverCrashTheReader) {
  std::ofstream(dir / "settings.json")
      << R"({"SOFTWARE\\CorvidFT\\SelectPrinter": {"MS1": "zz", "MS2": 5, "VSD": "0a000000"},
            "other": [1, 2]})";
  auto store = Store();
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS2"));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "VSD"), 10);
}

TEST_F(FileSettingsStoreTest, WriteThatCannotReachTheFileFailsWithoutHarm) {
  std::ofstream(dir / "blocker") << "a file where the folder should be";
  FileSettingsStore store(dir / "blocker" / "settings.json", [](const std::string&) {});
  EXPECT_FALSE(store.WriteInt32(kSelectPrinterKey, "MS1", 1));
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));
}

TEST(MemorySettingsStoreTest, StoresBytesByKeyAndName) {
  MemorySettingsStore store;
  store.WriteByte(kSelectPrinterKey, "unplugA", 24);
  EXPECT_EQ(store.ReadByte(kSelectPrinterKey, "unplugA"), 24);
  EXPECT_FALSE(store.ReadByte(kProgramKey, "unplugA"));
}

}  // namespace
}  // namespace tarvo
