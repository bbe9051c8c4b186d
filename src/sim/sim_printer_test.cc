#include "sim/sim_printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/clock.h"

namespace tarvo::sim {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Bytes = std::vector<uint8_t>;

Bytes Packet(uint8_t code, uint8_t p0 = 0, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0) {
  auto p = MakeCommand(code, p0, p1, p2, p3);
  return {p.begin(), p.end()};
}

Bytes Header(std::string_view text) {
  // Built in one go: GCC 12 misreads an insert after a short initializer list at -O2.
  std::string page = std::string("\x1b@\x1bU\x01") + std::string(text);
  return Bytes(page.begin(), page.end());
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteText(const fs::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct SimPrinterTest : ::testing::Test {
  VirtualClock clock;
  SimPrinter printer{clock, SimSpec{}};

  void Send(const Bytes& transfer) { ASSERT_TRUE(printer.Receive(transfer)); }
  Bytes Next() { return printer.NextReply().value_or(Bytes{0xDE, 0xAD}); }
};

TEST_F(SimPrinterTest, FreshPrinterAnswersFirmwareTemperatureAndMemory) {
  EXPECT_FALSE(printer.load_failed());
  EXPECT_TRUE(std::all_of(printer.eeprom().begin(), printer.eeprom().end(),
                          [](uint8_t b) { return b == 0xFF; }));
  EXPECT_TRUE(printer.powered());
  Send(Packet(kFirmware));
  Send(Packet(kTemperature));
  printer.eeprom()[5] = 0x42;
  Send(Packet(kMemory, 0, 4, 3, 0));
  // Replies queue in order.
  EXPECT_EQ(Next(),
            (Bytes{0x1C, 0x46, '0', '0', '7', '3', 0, (0x46 + '0' + '0' + '7' + '3') & 0xFF}));
  EXPECT_EQ(Next(), (Bytes{0x1C, 0x54, 25, 0, 0, 0, 0, 0x54 + 25}));
  EXPECT_EQ(Next(), Packet(kMemory, 0, 4, 3, 0));  // the answer echoes the command
  EXPECT_EQ(Next(), (Bytes{0xFF, 0x42, 0xFF}));
  EXPECT_FALSE(printer.NextReply());
  EXPECT_THAT(printer.log(), ElementsAre("F", "T", "READ(4,3)"));
}

TEST_F(SimPrinterTest, MemoryWriteStaysInsideTheEeprom) {
  Send(Packet(kMemory, 1, 126, 4, 0));
  Send(Bytes{1, 2, 3, 4});
  EXPECT_EQ(printer.eeprom()[126], 1);
  EXPECT_EQ(printer.eeprom()[127], 2);
  // Reads past the end give unprogrammed bytes.
  Send(Packet(kMemory, 0, 126, 4, 0));
  printer.NextReply();
  EXPECT_EQ(Next(), (Bytes{1, 2, 0xFF, 0xFF}));
  // Data shorter than announced stores what came.
  Send(Packet(kMemory, 1, 0, 41, 0));
  Send(Bytes{7, 7});
  EXPECT_EQ(printer.eeprom()[0], 7);
  EXPECT_EQ(printer.eeprom()[2], 0xFF);
  EXPECT_THAT(printer.log(),
              ElementsAre("WRITE(126,4)", "DATA(4)", "READ(126,4)", "WRITE(0,41)", "DATA(2)"));
}

TEST_F(SimPrinterTest, KeepsPowerTofAndBiDAndLogsTheRest) {
  Send(Packet(kJobMark, 0, 0));
  Send(Packet(kMotor, 0x16, 2, 0, 0));
  Send(Packet(kTof, 0xFE));
  Bytes bid;
  for (uint8_t i = 0; i < 4; ++i) {
    auto p = Packet(kBiD, 0x41, i, i == 2 ? 13 : 8);
    bid.insert(bid.end(), p.begin(), p.end());
  }
  Send(bid);
  Bytes bad = Packet(kTof, 5);
  bad[7] = 0;
  Send(bad);
  EXPECT_EQ(printer.last_tof(), -2);  // a bad checksum is ignored
  EXPECT_EQ(printer.last_bid(), (std::array<uint8_t, 4>{8, 8, 13, 8}));

  Send(Packet(kPowerOff, 1));
  EXPECT_FALSE(printer.powered());
  Send(Packet(kJobMark, 1, 0));
  EXPECT_TRUE(printer.powered());
  EXPECT_THAT(printer.log(), ElementsAre("J(0,0)", "M(0,1,6,2,0,0)", "TOF(-2)", "D(8,8,13,8)",
                                         "BADSUM 1c91050000000000", "p(1)", "J(1,0)"));
}

TEST_F(SimPrinterTest, FaultsOnReplyAndWritePipes) {
  printer.faults().status_frames = 2;
  printer.faults().status_kind = "@";
  Send(Packet(kTemperature));
  Send(Packet(kTemperature));
  for (int reply = 0; reply < 2; ++reply) {
    EXPECT_EQ(Next()[0], '@');
    EXPECT_EQ(Next()[0], '@');
    EXPECT_EQ(Next()[1], kTemperature);
  }

  printer.faults().status_stream = true;
  Send(Packet(kTemperature));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Next()[0], '@');
  printer.faults().status_stream = false;
  printer.faults().status_frames = 0;
  EXPECT_EQ(Next()[1], kTemperature);

  printer.faults().silent = true;
  Send(Packet(kFirmware));
  EXPECT_FALSE(printer.NextReply());
  printer.faults().silent = false;
  EXPECT_FALSE(printer.NextReply());  // a silent printer did not answer later either

  printer.faults().eeprom_sticks = false;
  Send(Packet(kMemory, 1, 0, 1, 0));
  Send(Bytes{0x00});
  EXPECT_EQ(printer.eeprom()[0], 0xFF);

  // Six transfers so far; the eighth and everything after it fail.
  printer.faults().fail_write_after = 7;
  Send(Packet(kFirmware));
  EXPECT_FALSE(printer.Receive(Packet(kFirmware)));
  EXPECT_FALSE(printer.Receive(Packet(kFirmware)));
  EXPECT_EQ(printer.log().size(), 7u);
}

TEST_F(SimPrinterTest, ReadOnlyEepromBytesAcknowledgeWritesAndKeepTheirValue) {
  printer.faults().eeprom_readonly =
      ParseSimSpec("?eeprom_readonly=0x40-0x7f", nullptr)->faults.eeprom_readonly;
  Send(Packet(kMemory, 1, 0x3E, 4, 0));
  Send(Bytes{1, 2, 3, 4});
  EXPECT_EQ(printer.eeprom()[0x3E], 1);
  EXPECT_EQ(printer.eeprom()[0x3F], 2);
  EXPECT_EQ(printer.eeprom()[0x40], 0xFF);
  EXPECT_EQ(printer.eeprom()[0x41], 0xFF);
  // The write looks as usual on the wire; a read-back shows what stuck.
  Send(Packet(kMemory, 0, 0x3E, 4, 0));
  printer.NextReply();
  EXPECT_EQ(Next(), (Bytes{1, 2, 0xFF, 0xFF}));
  EXPECT_THAT(printer.log(), ElementsAre("WRITE(62,4)", "DATA(4)", "READ(62,4)"));
}

TEST_F(SimPrinterTest, LogKeepsTheLatestLinesOnly) {
  const size_t total = SimPrinter::kLogLimit * 3 + 5;
  for (size_t i = 0; i < total; ++i) Send(Bytes(1 + i % 7, 0x11));
  Send(Packet(kFirmware));
  EXPECT_LE(printer.log().size(), SimPrinter::kLogLimit);
  EXPECT_GE(printer.log().size(), SimPrinter::kLogLimit / 2);
  EXPECT_EQ(printer.log().size() + printer.log_dropped(), total + 1);
  EXPECT_EQ(printer.log().back(), "F");
  EXPECT_EQ(printer.log()[printer.log().size() - 2],
            "PRINT(" + std::to_string(1 + (total - 1) % 7) + ")");
  // The printout still counts every byte.
  ASSERT_EQ(printer.printouts().size(), 1u);
  uint64_t bytes = 0;
  for (size_t i = 0; i < total; ++i) bytes += 1 + i % 7;
  EXPECT_EQ(printer.printouts()[0].files[0].size, bytes);
}

TEST_F(SimPrinterTest, SetFirmwareAndTemperatureAreKeptInRange) {
  printer.set_firmware("00812");
  EXPECT_EQ(printer.firmware(), "0081");
  printer.set_firmware("7");
  EXPECT_EQ(printer.firmware(), "7   ");
  printer.set_temperature(300);
  EXPECT_EQ(printer.temperature(), 255);
  printer.set_temperature(-4);
  EXPECT_EQ(printer.temperature(), 0);
}

TEST_F(SimPrinterTest, ChartPrintIsFileHeaderFile) {
  Bytes first(10'000);
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i * 7);
  Bytes second(300, 0x55);

  Send(Packet(kJobMark, 0, 1));
  Send(Packet(kTemperature));
  Send(Bytes(first.begin(), first.begin() + 4096));
  Send(Bytes(first.begin() + 4096, first.begin() + 8192));
  Send(Bytes(first.begin() + 8192, first.end()));
  Send(Header("[No.12345][CT 03 01 00]  Program:0077\r\nMS1= 05\r\n\xff\xffHeadID="));
  Send(second);

  ASSERT_EQ(printer.printouts().size(), 1u);
  const Printout& p = printer.printouts()[0];
  EXPECT_EQ(p.Outline(), "file header file");
  ASSERT_EQ(p.files.size(), 2u);
  EXPECT_EQ(p.files[0], (PrintedFile{10'000, HashText(PrintHash::Of(first))}));
  EXPECT_EQ(p.files[1], (PrintedFile{300, HashText(PrintHash::Of(second))}));
  EXPECT_THAT(p.header_lines,
              ElementsAre("[No.12345][CT 03 01 00]  Program:0077", "MS1= 05", "\xff\xffHeadID="));

  // The next chart opens a printout of its own; a job mark that prints nothing leaves none.
  Send(Packet(kJobMark, 0, 1));
  Send(Packet(kJobMark, 1, 0));
  Send(Packet(kJobMark, 0, 1));
  Send(second);
  // Print data after the link closed starts a printout by itself.
  printer.LinkClosed();
  Send(second);
  Send(second);
  ASSERT_EQ(printer.printouts().size(), 3u);
  EXPECT_EQ(printer.printouts()[1].Outline(), "file");
  EXPECT_EQ(printer.printouts()[2].files[0].size, 600u);
  EXPECT_THAT(printer.log(), ElementsAre("J(0,1)", "T", "PRINT(4096)", "PRINT(4096)", "PRINT(1808)",
                                         "TEXT(62)", "PRINT(300)", "J(0,1)", "J(1,0)", "J(0,1)",
                                         "PRINT(300)", "PRINT(300)", "PRINT(300)"));
}

TEST_F(SimPrinterTest, KeepsTheLastFiftyPrintouts) {
  for (int i = 0; i < 60; ++i) {
    Send(Packet(kJobMark, 0, 1));
    Send(Bytes(static_cast<size_t>(i + 1), 1));
  }
  ASSERT_EQ(printer.printouts().size(), 50u);
  EXPECT_EQ(printer.printouts().front().files[0].size, 11u);
  EXPECT_EQ(printer.printouts().back().files[0].size, 60u);
}

TEST(SimPrintHash, DigestDoesNotDependOnHowTheFileWasCut) {
  Bytes file(1000);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 13 + i / 7);
  const uint64_t whole = PrintHash::Of(file);
  for (size_t piece : {1u, 7u, 31u, 32u, 33u, 4096u}) {
    PrintHash h;
    for (size_t at = 0; at < file.size(); at += piece) {
      h.Update(std::span(file).subspan(at, std::min(piece, file.size() - at)));
    }
    EXPECT_EQ(h.Digest(), whole) << piece;
  }
  // Every byte and the length count.
  Bytes changed = file;
  changed[999] ^= 1;
  EXPECT_NE(PrintHash::Of(changed), whole);
  EXPECT_NE(PrintHash::Of(std::span(file).first(999)), whole);
  EXPECT_NE(PrintHash::Of(Bytes{}), PrintHash::Of(Bytes{0}));
  EXPECT_EQ(HashText(0x1234), "0000000000001234");
  // XXH3-64 with the default secret and seed 0, as stored in the state file.
  EXPECT_EQ(HashText(PrintHash::Of(Bytes{})), "2d06800538d394c2");
}

TEST(SimPrintHash, LongFilesInPiecesOfAnySize) {
  Bytes file(300'000);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 31 + i / 251);
  const uint64_t whole = PrintHash::Of(file);
  for (size_t piece : {1000u, 4096u, 65'536u, 299'999u}) {
    PrintHash h;
    for (size_t at = 0; at < file.size(); at += piece) {
      h.Update(std::span(file).subspan(at, std::min(piece, file.size() - at)));
      EXPECT_EQ(h.Digest(),
                PrintHash::Of(std::span(file).first(std::min(file.size(), at + piece))));
    }
    EXPECT_EQ(h.Digest(), whole) << piece;
  }
}

struct SimStateFileTest : ::testing::Test {
  VirtualClock clock;
  fs::path dir;
  fs::path file;

  void SetUp() override {
    dir = fs::path(::testing::TempDir()) /
          ("sim_state_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    file = dir / "p.json";
  }
  void TearDown() override { fs::remove_all(dir); }
  SimSpec Spec() {
    SimSpec spec;
    spec.state_file = file.string();
    return spec;
  }
};

TEST_F(SimStateFileTest, StateSurvivesTheNextRun) {
  {
    SimPrinter printer(clock, Spec());
    EXPECT_FALSE(fs::exists(file));  // nothing changed yet
    ASSERT_TRUE(printer.Receive(Packet(kMemory, 1, 10, 2, 0)));
    ASSERT_TRUE(printer.Receive(Bytes{0x12, 0x34}));
    EXPECT_TRUE(fs::exists(file));
    printer.set_firmware("0081");
    printer.set_temperature(41);
    ASSERT_TRUE(printer.Receive(Packet(kTof, 3)));
    Bytes bid;
    for (uint8_t i = 0; i < 4; ++i) {
      auto p = Packet(kBiD, 0x41, i, static_cast<uint8_t>(i + 5));
      bid.insert(bid.end(), p.begin(), p.end());
    }
    ASSERT_TRUE(printer.Receive(bid));
    ASSERT_TRUE(printer.Receive(Packet(kJobMark, 0, 1)));
    ASSERT_TRUE(printer.Receive(Bytes(5000, 9)));
    ASSERT_TRUE(printer.Receive(Header("A\r\n\xff\x80 B")));
    ASSERT_TRUE(printer.Receive(Bytes(7, 3)));
    ASSERT_TRUE(printer.Receive(Packet(kPowerOff, 0)));
    ASSERT_TRUE(printer.Receive(Bytes(9, 3)));  // wakes it, and is saved when it goes away
  }
  SimPrinter again(clock, Spec());
  EXPECT_FALSE(again.load_failed()) << again.load_error();
  EXPECT_EQ(again.eeprom()[10], 0x12);
  EXPECT_EQ(again.eeprom()[11], 0x34);
  EXPECT_EQ(again.eeprom()[12], 0xFF);
  EXPECT_EQ(again.firmware(), "0081");
  EXPECT_EQ(again.temperature(), 41);
  EXPECT_EQ(again.last_tof(), 3);
  EXPECT_EQ(again.last_bid(), (std::array<uint8_t, 4>{5, 6, 7, 8}));
  EXPECT_TRUE(again.powered());
  ASSERT_EQ(again.printouts().size(), 2u);
  EXPECT_EQ(again.printouts()[0].Outline(), "file header file");
  EXPECT_THAT(again.printouts()[0].header_lines, ElementsAre("A", "\xff\x80 B"));
  EXPECT_EQ(again.printouts()[0].files[0].size, 5000u);
  EXPECT_EQ(again.printouts()[1].files[0].size, 9u);

  std::string text = ReadText(file);
  EXPECT_THAT(text, HasSubstr("\"eeprom\": \"ffffffffffffffffffff1234ff"));
  EXPECT_THAT(text, HasSubstr("\"powered\": true"));
}

TEST_F(SimStateFileTest, PowerOffIsKept) {
  {
    SimPrinter printer(clock, Spec());
    ASSERT_TRUE(printer.Receive(Packet(kPowerOff, 0)));
  }
  SimPrinter again(clock, Spec());
  EXPECT_FALSE(again.powered());
}

TEST_F(SimStateFileTest, CorruptFileIsReportedAndMovedAsideOnlyWhenStateChanges) {
  for (const char* bad : {"not json {", "[1,2]", R"({"eeprom": "ffff"})", R"({"temperature": 256})",
                          R"({"firmware": "73"})", R"({"powered": "yes"})",
                          R"({"printouts": [{"files": [{"size": 1, "hash": "xyz"}]}]})",
                          R"({"printouts": [{"files": [], "header_position": 2}]})"}) {
    WriteText(file, bad);
    fs::remove(dir / "p.json.corrupt");
    {
      SimPrinter printer(clock, Spec());
      EXPECT_TRUE(printer.load_failed()) << bad;
      EXPECT_THAT(printer.load_error(), HasSubstr(file.string())) << bad;
      EXPECT_EQ(printer.firmware(), "0073");
      EXPECT_EQ(printer.eeprom()[0], 0xFF);
      ASSERT_TRUE(printer.Receive(Packet(kFirmware)));  // no change of state
      EXPECT_EQ(ReadText(file), bad);
      ASSERT_TRUE(printer.Receive(Packet(kMemory, 1, 0, 1, 0)));
      ASSERT_TRUE(printer.Receive(Bytes{0x30}));
      EXPECT_FALSE(printer.save_failed());
    }
    EXPECT_EQ(ReadText(dir / "p.json.corrupt"), bad);
    SimPrinter again(clock, Spec());
    EXPECT_FALSE(again.load_failed()) << again.load_error();
    EXPECT_EQ(again.eeprom()[0], 0x30);
  }
}

TEST_F(SimStateFileTest, OlderFilesLoadAndTheirHashesKeepTheirVersion) {
  WriteText(file, R"({"printouts": [{"files": [{"size": 3, "hash": "00000000000000aa"}],
                                    "header_lines": [], "header_position": null}]})");
  {
    SimPrinter printer(clock, Spec());
    ASSERT_FALSE(printer.load_failed()) << printer.load_error();
    ASSERT_EQ(printer.printouts().size(), 1u);
    EXPECT_EQ(printer.printouts()[0].files[0].hash_version, 1);
    ASSERT_TRUE(printer.Receive(Packet(kJobMark, 0, 1)));
    ASSERT_TRUE(printer.Receive(Bytes(5, 1)));
    ASSERT_TRUE(printer.Receive(Packet(kJobMark, 1, 1)));
  }
  std::string text = ReadText(file);
  EXPECT_THAT(text, HasSubstr("\"version\": 2"));
  EXPECT_THAT(text, HasSubstr("\"hash_version\": 1"));
  SimPrinter again(clock, Spec());
  ASSERT_FALSE(again.load_failed()) << again.load_error();
  ASSERT_EQ(again.printouts().size(), 2u);
  EXPECT_EQ(again.printouts()[0].files[0], (PrintedFile{3, "00000000000000aa", 1}));
  EXPECT_EQ(again.printouts()[1].files[0], (PrintedFile{5, HashText(PrintHash::Of(Bytes(5, 1)))}));

  for (const char* bad : {R"({"version": 3})", R"({"version": "2"})",
                          R"({"printouts": [{"files": [{"size": 1, "hash": "00000000000000aa",
                                                         "hash_version": 7}]}]})"}) {
    WriteText(file, bad);
    SimPrinter printer(clock, Spec());
    EXPECT_TRUE(printer.load_failed()) << bad;
  }
}

TEST_F(SimStateFileTest, StateFileThatCannotBeWrittenIsToldAtStartAndAtEverySave) {
  SimSpec nowhere;
  nowhere.state_file = (dir / "missing" / "p.json").string();
  SimPrinter lost(clock, nowhere);
  EXPECT_THAT(lost.state_error(), HasSubstr("missing/p.json cannot be written"));

  std::vector<std::string> problems;
  SimPrinter printer(clock, Spec());
  EXPECT_EQ(printer.state_error(), "");
  printer.set_problem_sink([&](const std::string& p) { problems.push_back(p); });
  fs::remove_all(dir);  // the folder goes away while the printer runs
  ASSERT_TRUE(printer.Receive(Packet(kTof, 1)));
  ASSERT_TRUE(printer.Receive(Packet(kTof, 2)));
  EXPECT_TRUE(printer.save_failed());
  EXPECT_EQ(printer.save_failures(), 2u);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_THAT(problems[0], HasSubstr("is not saved"));
  fs::create_directories(dir);
}

// A named pipe would hold the printer up at its first read, for good; a save would replace it.
TEST_F(SimStateFileTest, StateFileThatIsNoRegularFileMakesThePrinterUnusable) {
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  SimPrinter piped(clock, Spec());
  EXPECT_THAT(piped.state_error(), HasSubstr("p.json is a named pipe"));
  EXPECT_FALSE(piped.load_failed());
  EXPECT_TRUE(fs::is_fifo(file));
}

TEST_F(SimStateFileTest, TemporariesOfAKilledRunAreRemovedAtStart) {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  const fs::path stale = dir / ("p.json.tmp" + std::to_string(child));
  WriteText(stale, "{\"eeprom\": \"half");
  SimPrinter printer(clock, Spec());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(printer.load_failed());
}

TEST_F(SimStateFileTest, MissingKeysKeepFreshValues) {
  WriteText(file, R"({"temperature": 30, "future_key": 1})");
  SimPrinter printer(clock, Spec());
  EXPECT_FALSE(printer.load_failed()) << printer.load_error();
  EXPECT_EQ(printer.temperature(), 30);
  EXPECT_EQ(printer.firmware(), "0073");
  EXPECT_TRUE(printer.powered());
}

}  // namespace
}  // namespace tarvo::sim
