#include "charts/print_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>

#include "testing/device_rig.h"
#include "testing/scratch_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct PrintFileTest : ::testing::Test {
  std::string MakeFile(const std::string& name, size_t size) {
    std::string path = (dir / name).string();
    std::ofstream out(path, std::ios::binary);
    std::string block(64 * 1024, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + 3);
    for (size_t done = 0; done < size; done += block.size()) {
      out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), size - done)));
    }
    return path;
  }

  std::vector<size_t> WriteSizes() const {
    std::vector<size_t> sizes;
    for (const auto& line : rig.wire_lines.lines()) {
      if (line.starts_with("W ")) sizes.push_back((line.size() - 2) / 2);
    }
    return sizes;
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  testing::DeviceRig rig;
};

TEST_F(PrintFileTest, RelativeNamesAreFoundInTheStationFolder) {
  ASSERT_TRUE(rig.Open());
  MakeFile("I_NC_1.prn", 100);
  rig.ctx.station_dir = dir;  // not the current directory
  EXPECT_TRUE(SendPrintFile(rig.ctx, rig.link, "I_NC_1.prn"));
  EXPECT_TRUE(SendPrintFile(rig.ctx, rig.link, (dir / "I_NC_1.prn").string()));
  EXPECT_TRUE(rig.op.messages().empty());
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, ""));  // no name is no file, not the folder
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].text, "Open File Error !! !!");
  EXPECT_EQ(rig.ctx.StationPath("a/b.prn"), (dir / "a/b.prn").string());
  rig.ctx.station_dir.clear();
  EXPECT_EQ(rig.ctx.StationPath("a/b.prn"), "a/b.prn");
}

TEST_F(PrintFileTest, SmallFileGoesOutInPiecesOf4096AndArrivesIntact) {
  ASSERT_TRUE(rig.Open());
  std::string path = MakeFile("a.prn", 10'000);
  SendStats stats;
  EXPECT_TRUE(SendPrintFile(rig.ctx, rig.link, path, &stats));
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{4096, 4096, 1808}));
  EXPECT_EQ(stats.chunks, std::vector<size_t>{10'000});
  rig.link.HandleClose();
  ASSERT_EQ(rig.printer.printouts().size(), 1u);
  ASSERT_EQ(rig.printer.printouts()[0].files.size(), 1u);
  EXPECT_EQ(rig.printer.printouts()[0].files[0].size, 10'000u);
  EXPECT_TRUE(rig.op.messages().empty());
}

TEST_F(PrintFileTest, ChunksAreAtMost8192000BytesThroughOneBuffer) {
  // Megabytes of hex in the wire log would only slow the test down.
  NullLineSink quiet;
  WireLog quiet_wire(quiet);
  Context ctx{rig.ctx.edition, rig.clock, rig.op, rig.settings, quiet_wire};
  PrinterLink link(ctx, rig.backend);
  ASSERT_TRUE(link.HandleOpen());
  SendStats one;
  EXPECT_TRUE(SendPrintFile(ctx, link, MakeFile("one.prn", kPrintChunkSize), &one));
  EXPECT_EQ(one.chunks, std::vector<size_t>{kPrintChunkSize});
  EXPECT_EQ(one.writes, 2000u);

  SendStats two;
  EXPECT_TRUE(SendPrintFile(ctx, link, MakeFile("two.prn", kPrintChunkSize + 1), &two));
  EXPECT_EQ(two.chunks, (std::vector<size_t>{kPrintChunkSize, 1}));
  EXPECT_EQ(two.buffer_size, kPrintChunkSize);
  EXPECT_EQ(two.writes, 2001u);
}

TEST_F(PrintFileTest, EmptyFileIsAFailureWithNothingSent) {
  ASSERT_TRUE(rig.Open());
  rig.ctx.station_dir = dir;
  MakeFile("empty.prn", 0);
  SendStats stats;
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "empty.prn", &stats));
  EXPECT_TRUE(WriteSizes().empty());
  EXPECT_TRUE(stats.chunks.empty());
  EXPECT_TRUE(rig.op.progress().empty());  // not told as a transfer of 0 of 0 bytes
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].text, "Open File Error !! empty.prn!! (empty file)");
  EXPECT_EQ(rig.op.messages()[0].caption, "Open File");

  testing::DeviceRig library(kLibraryEdition);
  ASSERT_TRUE(library.Open());
  library.ctx.station_dir = dir;
  EXPECT_FALSE(SendPrintFile(library.ctx, library.link, "empty.prn"));
  EXPECT_EQ(library.op.messages().at(0).text, "開檔失敗!! empty.prn!! (空檔案)");
}

// A folder, a named pipe or a device is refused with the open error before anything is read:
// a pipe would wait for a writer for good, a device might never end.
TEST_F(PrintFileTest, WhatIsNoRegularFileIsRefusedWithTheOpenError) {
  ASSERT_TRUE(rig.Open());
  rig.ctx.station_dir = dir;
  fs::create_directory(dir / "I_NC_1.prn");
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "I_NC_1.prn"));
  std::vector<std::string> expected{"Open File Error !! I_NC_1.prn!! (a folder)"};
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir / "pipe.prn").c_str(), 0600), 0);
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "pipe.prn"));
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "/dev/zero"));
  expected.push_back("Open File Error !! pipe.prn!! (a named pipe)");
  expected.push_back("Open File Error !! /dev/zero!! (a device)");
#endif
  std::vector<std::string> texts;
  for (const auto& m : rig.op.messages()) texts.push_back(m.text);
  EXPECT_EQ(texts, expected);
  EXPECT_TRUE(WriteSizes().empty());

  testing::DeviceRig library(kLibraryEdition);
  ASSERT_TRUE(library.Open());
  library.ctx.station_dir = dir;
  EXPECT_FALSE(SendPrintFile(library.ctx, library.link, "I_NC_1.prn"));
  EXPECT_EQ(library.op.messages().at(0).text, "開檔失敗!! I_NC_1.prn!! (資料夾)");
}

#ifndef _WIN32
// The files of /proc say they are empty and are not.
TEST_F(PrintFileTest, FileIsSentToItsEndWhateverItsSizeSays) {
  if (!fs::exists("/proc/cpuinfo")) GTEST_SKIP() << "no /proc";
  ASSERT_TRUE(rig.Open());
  ASSERT_EQ(fs::file_size("/proc/cpuinfo"), 0u);
  SendStats stats;
  EXPECT_TRUE(SendPrintFile(rig.ctx, rig.link, "/proc/cpuinfo", &stats));
  size_t written = 0;
  for (size_t size : WriteSizes()) written += size;
  ASSERT_EQ(stats.chunks.size(), 1u);
  EXPECT_EQ(written, stats.chunks[0]);
  EXPECT_GT(written, 0u);
  using Report = std::pair<uint64_t, uint64_t>;
  EXPECT_EQ(rig.op.progress(), (std::vector<Report>{{0, written}, {written, written}}));
  EXPECT_TRUE(rig.op.messages().empty());
}
#endif

// The program names the folder it searched after its own text; the library keeps its text (a
// host may match it) and writes the folder to its notes.
TEST_F(PrintFileTest, MissingFileIsToldInEachEditionsWordsWithTheFolderSearched) {
  ASSERT_TRUE(rig.Open());
  MemoryLineSink notes;
  rig.ctx.notes = &notes;
  rig.ctx.station_dir = dir;
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "nowhere.prn"));
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].text,
            "Open File Error !! nowhere.prn!!\nFolder searched: " + dir.string());
  EXPECT_EQ(rig.op.messages()[0].caption, "Open File");
  // Without a station folder, the current directory was searched; an absolute name says it all.
  rig.ctx.station_dir.clear();
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, "nowhere.prn"));
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, (dir / "nowhere.prn").string()));
  ASSERT_EQ(rig.op.messages().size(), 3u);
  EXPECT_EQ(rig.op.messages()[1].text,
            "Open File Error !! nowhere.prn!!\nFolder searched: " + fs::current_path().string());
  EXPECT_EQ(rig.op.messages()[2].text,
            "Open File Error !! " + (dir / "nowhere.prn").string() + "!!");
  EXPECT_TRUE(notes.lines().empty());

  testing::DeviceRig library(kLibraryEdition);
  ASSERT_TRUE(library.Open());
  library.ctx.notes = &notes;
  library.ctx.station_dir = dir;
  EXPECT_FALSE(SendPrintFile(library.ctx, library.link, "nowhere.prn"));
  EXPECT_EQ(library.op.messages()[0].text, "開檔失敗!! nowhere.prn!!");
  EXPECT_EQ(notes.lines(),
            std::vector<std::string>{"Open File: nowhere.prn was looked for in " + dir.string()});
}

TEST_F(PrintFileTest, FailedWriteStopsTheFileWithAMessage) {
  ASSERT_TRUE(rig.Open());
  rig.printer.faults().fail_write_after = 1;
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, MakeFile("b.prn", 10'000)));
  EXPECT_EQ(WriteSizes().size(), 1u);
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].text, "Write MELoadFile Command Error !!");
  EXPECT_EQ(rig.op.messages()[0].caption, "WriteFileX");
}

// A clock on which every look at the time takes 100 ms, as if each piece took that long to go.
class SlowPiecesClock : public VirtualClock {
 public:
  int64_t NowMs() override {
    Tick(100);
    return VirtualClock::NowMs();
  }
};

TEST_F(PrintFileTest, ProgressIsToldAtTheStartAtMostFourTimesASecondAndAtTheEnd) {
  ASSERT_TRUE(rig.Open());
  ASSERT_TRUE(SendPrintFile(rig.ctx, rig.link, MakeFile("a.prn", 10'000)));
  using Report = std::pair<uint64_t, uint64_t>;
  EXPECT_EQ(rig.op.progress(), (std::vector<Report>{{0, 10'000}, {10'000, 10'000}}));

  SlowPiecesClock slow;
  RecordingOperator op;
  Context told{rig.ctx.edition, slow, op, rig.settings, rig.wire};
  ASSERT_TRUE(SendPrintFile(told, rig.link, MakeFile("c.prn", 40 * 4096)));
  const auto& reports = op.progress();
  ASSERT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.front(), (Report{0, 40 * 4096}));
  EXPECT_EQ(reports.back(), (Report{40 * 4096, 40 * 4096}));
  // 40 pieces of 100 ms: one report in every three pieces, never two within 250 ms.
  EXPECT_EQ(reports.size(), 2u + 13u);
  for (size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_EQ(reports[i].first % 4096, 0u);
    EXPECT_GT(reports[i].first, reports[i - 1].first);
  }
}

TEST_F(PrintFileTest, FailedTransferIsNotToldAsFinished) {
  ASSERT_TRUE(rig.Open());
  rig.printer.faults().fail_write_after = 2;
  EXPECT_FALSE(SendPrintFile(rig.ctx, rig.link, MakeFile("b.prn", 10'000)));
  for (const auto& [sent, total] : rig.op.progress()) EXPECT_LT(sent, total);
}

TEST_F(PrintFileTest, MELoadFilePtrTakesExactlyCountCharactersAndStopsAtAZero) {
  ASSERT_TRUE(rig.Open());
  std::string path = MakeFile("c.prn", 100);
  std::string buffer = path + "XYZ";
  EXPECT_TRUE(MELoadFilePtr(rig.ctx, rig.link, std::span(buffer.data(), path.size())));
  std::string with_zero = path + std::string(1, '\0') + "junk";
  EXPECT_TRUE(MELoadFilePtr(rig.ctx, rig.link, std::span(with_zero.data(), with_zero.size())));
  EXPECT_TRUE(rig.op.messages().empty());

  EXPECT_FALSE(MELoadFilePtr(rig.ctx, rig.link, std::span(buffer.data(), 0)));
  ASSERT_EQ(rig.op.messages().size(), 1u);
  EXPECT_EQ(rig.op.messages()[0].caption, "Open File");
}

}  // namespace
}  // namespace tarvo
