#include "operations/firmware.h"

#include <gtest/gtest.h>

#include "operations/romdata_test_env.h"

namespace tarvo {
namespace {

using testing::ScratchDir;
using testing_env::Bench;
using testing_env::WriteBytes;

// Runs the test inside a scratch folder, as the station runs in its folder of fixed files.
class InScratchDir : public ::testing::Test {
 protected:
  InScratchDir() : home_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.path());
  }
  ~InScratchDir() override { std::filesystem::current_path(home_); }

  size_t PrintedBytes() const {
    size_t n = 0;
    for (const std::string& line : bench.printer.log()) {
      if (line.starts_with("PRINT(")) n += std::stoul(line.substr(6));
    }
    return n;
  }

  ScratchDir dir;
  Bench bench;

 private:
  std::filesystem::path home_;
};

TEST(ShippingFileName, ThreeFixedFiles) {
  EXPECT_EQ(ShippingFileName(0), "ShippingResetROM_1C71.bin");
  EXPECT_EQ(ShippingFileName(1), "Shipping_1C71.bin");
  EXPECT_EQ(ShippingFileName(2), "SPCtest.bin");
  EXPECT_EQ(ShippingFileName(3), "");
  EXPECT_EQ(ShippingFileName(-1), "");
}

using UpdateShippingFWTest = InScratchDir;

TEST_F(UpdateShippingFWTest, SendsTheFixedFileUnchanged) {
  WriteBytes("Shipping_1C71.bin", std::vector<uint8_t>(5000, 0x5A));
  EXPECT_TRUE(UpdateShippingFW(bench.ctx, bench.link, 1));
  EXPECT_EQ(PrintedBytes(), 5000u);
  EXPECT_TRUE(bench.op.messages().empty());
}

TEST_F(UpdateShippingFWTest, UnknownTypeTellsTwiceAndSendsNothing) {
  EXPECT_FALSE(UpdateShippingFW(bench.ctx, bench.link, 3));
  EXPECT_TRUE(bench.printer.log().empty());
  EXPECT_EQ(bench.MessageTexts(),
            (std::vector<std::string>{"Open File: Open File Error !! !!",
                                      "WriteFileX: Write MELoadFile Command Error !!"}));
}

TEST_F(UpdateShippingFWTest, LibraryTellsInItsOwnWords) {
  Bench library(kLibraryEdition);
  EXPECT_FALSE(UpdateShippingFW(library.ctx, library.link, 0));
  EXPECT_EQ(library.MessageTexts(),
            (std::vector<std::string>{"Open File: 開檔失敗!! ShippingResetROM_1C71.bin!!",
                                      "WriteFileX: MELoadFile Command寫入失敗!!"}));
}

using UpdateFWTest = InScratchDir;

TEST_F(UpdateFWTest, SendsTheChosenImageAndKeepsTheCurrentDirectory) {
  std::filesystem::create_directory("images");
  const std::string image = (dir.path() / "images" / "fw0074.bin").string();
  WriteBytes(image, std::vector<uint8_t>(10000, 0xA5));
  const auto before = std::filesystem::current_path();
  bench.op.wander_to = dir.path() / "images";
  bench.op.QueueFile(image);
  EXPECT_TRUE(UpdateFW(bench.ctx, bench.link));

  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_EQ(PrintedBytes(), 10000u);
  EXPECT_EQ(bench.op.requests.at(0).filter, "All Files|*.bin||");
}

TEST_F(UpdateFWTest, CancelIsAnUnopenableEmptyName) {
  bench.op.QueueFile(std::nullopt);
  EXPECT_FALSE(UpdateFW(bench.ctx, bench.link));
  EXPECT_TRUE(bench.printer.log().empty());
  EXPECT_EQ(bench.MessageTexts(),
            (std::vector<std::string>{"Open File: Open File Error !! !!",
                                      "WriteFileX: Write MELoadFile Command Error !!"}));
}

// An empty image would pass for a firmware update that went out.
TEST_F(UpdateFWTest, EmptyImageIsAFailureToldAsSuchAndSendsNothing) {
  WriteBytes("empty.bin", {});
  bench.op.QueueFile("empty.bin");
  EXPECT_FALSE(UpdateFW(bench.ctx, bench.link));
  EXPECT_TRUE(bench.printer.log().empty());
  EXPECT_EQ(bench.MessageTexts(),
            (std::vector<std::string>{"Open File: Open File Error !! empty.bin!! (empty file)",
                                      "WriteFileX: Write MELoadFile Command Error !!"}));

  Bench library(kLibraryEdition);
  WriteBytes("Shipping_1C71.bin", {});
  EXPECT_FALSE(UpdateShippingFW(library.ctx, library.link, 1));
  EXPECT_EQ(library.MessageTexts(),
            (std::vector<std::string>{"Open File: 開檔失敗!! Shipping_1C71.bin!! (空檔案)",
                                      "WriteFileX: MELoadFile Command寫入失敗!!"}));
}

TEST_F(UpdateFWTest, FailedWriteIsToldByTheSendAndAgain) {
  WriteBytes("fw.bin", std::vector<uint8_t>(100, 1));
  bench.printer.faults().fail_write_after = 0;
  bench.op.QueueFile("fw.bin");
  EXPECT_FALSE(UpdateFW(bench.ctx, bench.link));
  EXPECT_EQ(bench.MessageTexts(),
            std::vector<std::string>(2, "WriteFileX: Write MELoadFile Command Error !!"));
}

}  // namespace
}  // namespace tarvo
