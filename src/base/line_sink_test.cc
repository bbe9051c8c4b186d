#include "base/line_sink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/wire_log.h"
#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FileLineSink, EveryLineIsInTheFileAtOnceByDefault) {
  testing::ScratchDir scratch;
  const auto file = scratch.path() / "transcript";
  FileLineSink sink(file);
  ASSERT_TRUE(sink.ok());
  sink.Line("message Head ID: Write EEPROM Success !!");
  EXPECT_EQ(ReadText(file), "message Head ID: Write EEPROM Success !!\n");
  const uint8_t bytes[] = {0x1c, 0x00, 0xff, 0xa5};
  sink.HexLine("W ", bytes);
  EXPECT_EQ(ReadText(file), "message Head ID: Write EEPROM Success !!\nW 1c00ffa5\n");
  // Appends to what is there.
  FileLineSink again(file);
  again.Line("C");
  EXPECT_THAT(ReadText(file), ::testing::EndsWith("W 1c00ffa5\nC\n"));
}

TEST(FileLineSink, WireLogHoldsLinesBackUntilAWaitAReadFlushOrTheEnd) {
  testing::ScratchDir scratch;
  const auto file = scratch.path() / "wire.log";
  {
    FileLineSink sink(file, FileLineSink::Writes::kOnFlush);
    WireLog wire(sink);
    const uint8_t command[] = {0x1c, 0x4a, 0x00, 0x01, 0x00, 0x00, 0x00, 0x4b};
    wire.PipeOpened("PIPE00", true);
    wire.Written(command);
    EXPECT_EQ(ReadText(file), "");
    wire.Wait(10000);
    EXPECT_EQ(ReadText(file), "O PIPE00 ok\nW 1c4a00010000004b\nS 10000\n");
    wire.WriteFailed(command);
    wire.Flush();  // what the link does before every read
    EXPECT_THAT(ReadText(file), ::testing::EndsWith("S 10000\nW! 1c4a00010000004b\n"));
    wire.ReadFailed();
    wire.Closed();
    EXPECT_THAT(ReadText(file), ::testing::EndsWith("\nR!\nC\n"));
    wire.Read(command);
  }
  EXPECT_THAT(ReadText(file), ::testing::EndsWith("\nC\nR 1c4a00010000004b\n"));
}

TEST(FileLineSink, ALargeBacklogIsWrittenWithoutWaitingForAFlush) {
  testing::ScratchDir scratch;
  const auto file = scratch.path() / "wire.log";
  FileLineSink sink(file, FileLineSink::Writes::kOnFlush);
  std::vector<uint8_t> piece(4096, 0x5a);
  for (int i = 0; i < 200; ++i) sink.HexLine("W ", piece);  // 1.6 MB of lines
  const auto size = std::filesystem::file_size(file);
  EXPECT_GE(size, 1u << 20);
  EXPECT_EQ(size % (2 + 8192 + 1), 0u);  // whole lines only
}

TEST(FileLineSink, FileThatCannotBeCreatedTakesLinesQuietly) {
  FileLineSink sink("/nonexistent-folder/wire.log", FileLineSink::Writes::kOnFlush);
  EXPECT_FALSE(sink.ok());
  sink.Line("W 00");
  sink.Flush();
}

TEST(MemoryLineSink, HexLinesReadLikeTheirText) {
  MemoryLineSink sink;
  const uint8_t bytes[] = {0x00, 0x7f};
  sink.HexLine("R ", bytes);
  EXPECT_EQ(sink.lines(), std::vector<std::string>{"R 007f"});
}

}  // namespace
}  // namespace tarvo
