#include "cli/run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "testing/scratch_dir.h"
#include "testing/set_env.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct RunTest : ::testing::Test {
  RunTest() { tarvo::testing::SetEnv("TARVO_CONFIG_DIR", dir.string()); }

  int Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "tarvo-cli");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::istringstream in(input);
    out.str("");
    err.str("");
    return cli::Run(static_cast<int>(argv.size()), argv.data(), in, out, err);
  }
  std::string Sim(const std::string& faults = "") const {
    return "sim:" + (dir / "printer.json").string() + faults;
  }
  std::vector<std::string> Lines(const fs::path& file) const {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(RunTest, HandleOpenOnTheSimulatedPrinter) {
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "HandleOpen"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("HandleOpen: 1"));
}

TEST_F(RunTest, AbsentPrinterIsOffLineAfterTheRetries) {
  std::string wire = (dir / "wire.log").string();
  EXPECT_EQ(
      Cli({"--printer", Sim("?absent=1"), "--virtual-time", "--wire-log", wire, "HandleOpen"}), 4);
  EXPECT_THAT(out.str(), HasSubstr("Print Off line !!"));
  auto lines = Lines(wire);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "S 1000"), 10);
}

TEST_F(RunTest, CommandsOfOneRunShareTheLink) {
  std::string wire = (dir / "wire.log").string();
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "--wire-log", wire, "HandleOpen", "+",
                 "ReadFWVersion", "+", "ReadTemperatureBegin", "+", "HandleClose"}),
            0);
  auto lines = Lines(wire);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "O PIPE00 ok"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "C"), 1);
  EXPECT_THAT(out.str(), HasSubstr("0073"));
}

TEST_F(RunTest, EachDeviceCommandIsFramedWhenTheLinkIsNotOpen) {
  std::string wire = (dir / "wire.log").string();
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "--wire-log", wire, "ReadFWVersion", "+",
                 "ReadFWVersion"}),
            0);
  auto lines = Lines(wire);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "C"), 2);
}

TEST_F(RunTest, SessionFileRunsLineByLineAndStopsAtAFailure) {
  std::ofstream(dir / "s.txt") << "# a comment\n\nHandleOpen\nReadFWVersion\nNoSuchThing\n"
                                  "ReadFWVersion\n";
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "session", (dir / "s.txt").string()}), 2);
  EXPECT_THAT(err.str(), HasSubstr("s.txt:5: NoSuchThing failed"));
}

TEST_F(RunTest, ScriptThatRunsOutStopsTheRun) {
  std::ofstream(dir / "answers.txt") << "# nothing\n";
  std::string transcript = (dir / "t.log").string();
  EXPECT_EQ(
      Cli({"--printer", Sim(), "--virtual-time", "--operator",
           "script:" + (dir / "answers.txt").string(), "--transcript", transcript, "SetHeadID"}),
      3);
  EXPECT_THAT(err.str(), HasSubstr("Input Head ID"));
  EXPECT_FALSE(Lines(transcript).empty());
}

TEST_F(RunTest, AFailedWriteOfAFixedSequenceFailsTheRunAndSaysWhat) {
  const std::string enter(60, '\n');  // confirms each message box
  EXPECT_EQ(Cli({"--printer", Sim("?fail_write_after=0"), "--virtual-time", "Lubrication", "+",
                 "InkCharge"},
                enter),
            1);
  EXPECT_THAT(
      out.str(),
      HasSubstr("Lubrication: failed (transfer failed: Write MELoadFile Command Error !!)"));
  EXPECT_THAT(out.str(), ::testing::Not(HasSubstr("InkCharge:")));  // the chain stops there

  EXPECT_EQ(Cli({"--printer", Sim("?fail_write_after=0"), "--virtual-time", "MotorAction"},
                "choose 1\n" + enter),
            1);
  EXPECT_THAT(out.str(), HasSubstr("MotorAction: failed (transfer failed:"));
}

TEST_F(RunTest, AWriteThePrinterDidNotStoreFailsTheRun) {
  EXPECT_EQ(
      Cli({"--printer", Sim("?eeprom_sticks=0"), "--virtual-time", "SetCharge"}, "enter 1\n\n"), 1);
  EXPECT_THAT(out.str(), HasSubstr("Set Charge Flag Fail !!"));
  EXPECT_THAT(out.str(), ::testing::Not(HasSubstr("Success")));
  EXPECT_THAT(out.str(), HasSubstr("SetCharge: 0 (verification failed: Set Charge Flag Fail !!)"));

  // A printer that stores it: as before.
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "SetCharge"}, "enter 1\n\n"), 0);
  EXPECT_THAT(out.str(), HasSubstr("SetCharge: 1\n"));
}

TEST_F(RunTest, AHeadIdWhoseInkValuesWereNotStoredFailsTheRun) {
  // The head data block (0x00-0x28) is stored, the ink system values (0x6e, 0x6f) are not.
  EXPECT_EQ(Cli({"--printer", Sim("?eeprom_readonly=0x40-0x7f"), "--virtual-time", "SetHeadID"},
                "enter AB12CD\n\n"),
            1);
  EXPECT_THAT(out.str(), HasSubstr("Write EEPROM Error !!"));
  EXPECT_THAT(out.str(), ::testing::Not(HasSubstr("Success")));
  EXPECT_THAT(out.str(), HasSubstr("SetHeadID: 0 (verification failed: Write EEPROM Error !!)"));
}

TEST_F(RunTest, BadCommandLinesAreRefused) {
  EXPECT_EQ(Cli({"--printer", Sim(), "NoSuchCommand"}), 2);
  EXPECT_EQ(Cli({"--printer", Sim(), "PrintChart"}), 2);  // missing argument
  EXPECT_EQ(Cli({"--printer", "floppy", "HandleOpen"}), 2);
  EXPECT_EQ(Cli({"--printer", Sim(), "--operator", "telepathy", "HandleOpen"}), 2);
  EXPECT_EQ(Cli({"--printer", Sim("?nonsense=1"), "HandleOpen"}), 2);
  EXPECT_EQ(Cli({}), 2);
  EXPECT_EQ(Cli({"--version"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("tarvo-cli"));
}

TEST_F(RunTest, StateFileThatCannotBeWrittenStopsTheRunBeforeAnyCommand) {
  const std::string nowhere = "sim:" + (dir / "no" / "such" / "p.json").string();
  EXPECT_EQ(Cli({"--printer", nowhere, "--virtual-time", "SetInitialValue"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("p.json cannot be written"));
  EXPECT_THAT(out.str(), Not(HasSubstr("Success")));
}

TEST_F(RunTest, VirtualTimeIsRefusedWithARealPrinter) {
  EXPECT_EQ(Cli({"--printer", "usb", "--virtual-time", "HandleOpen"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("real waits"));
}

TEST_F(RunTest, PrintFilesAreFoundInTheStationFolder) {
  const fs::path station = dir / "station";
  fs::create_directory(station);
  std::ofstream(station / "KDot.prn", std::ios::binary) << "dots";
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "--station-dir", station.string(),
                 "SendPrintFile", "KDot.prn"}),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("SendPrintFile: 1"));
  EXPECT_EQ(Cli({"--printer", Sim(), "--virtual-time", "--station-dir", (dir / "missing").string(),
                 "SendPrintFile", "KDot.prn"}),
            2);
  EXPECT_THAT(err.str(), HasSubstr("is not a folder"));
}

TEST_F(RunTest, ListShowsTheSimulatedPrinter) {
  EXPECT_EQ(Cli({"--printer", Sim(), "list"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("0a3c:7251"));
  EXPECT_THAT(out.str(), HasSubstr("device 1"));
  EXPECT_EQ(Cli({"--printer", Sim("?absent=1"), "list"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("No supported printer is attached."));
}

// Every variable of the environment the sources read is named where its front end's users look:
// tarvo-cli --help, and the library's header (the plugin of the library's windows is the
// library's alone). The line's dashboard (src/line) is a program apart, with a help of its own.
TEST_F(RunTest, HelpAndTheLibrarysHeaderNameEveryEnvironmentVariableTheSourcesRead) {
  const fs::path root = fs::path(TARVO_SAMPLES_DIR).parent_path();
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root / "src")) {
    const std::string file = entry.path().filename().string();
    if (!entry.is_regular_file() || file.find("_test") != std::string::npos ||
        entry.path().string().find("/testing/") != std::string::npos ||
        entry.path().string().find("/src/line/") != std::string::npos ||
        !(file.ends_with(".cc") || file.ends_with(".h"))) {
      continue;
    }
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Quoted names only: "TARVO_..." as a string literal.
    for (size_t at = text.find("\"TARVO_"); at != std::string::npos;
         at = text.find("\"TARVO_", at + 1)) {
      size_t end = at + 1;
      while (end < text.size() &&
             (std::isupper(static_cast<unsigned char>(text[end])) || text[end] == '_')) {
        ++end;
      }
      if (end < text.size() && text[end] == '"') names.insert(text.substr(at + 1, end - at - 1));
    }
  }
  ASSERT_TRUE(names.contains("TARVO_RECORDS_URL"));
  ASSERT_EQ(Cli({"--help"}), 0);
  const std::string help = out.str();
  std::ifstream header(root / "include" / "fennick.h");
  const std::string library((std::istreambuf_iterator<char>(header)),
                            std::istreambuf_iterator<char>());
  for (const std::string& variable : names) {
    if (variable != "TARVO_GUI_PLUGIN") {
      EXPECT_THAT(help, HasSubstr(variable));
    }
    EXPECT_THAT(library, HasSubstr(variable));
  }
}

}  // namespace
}  // namespace tarvo::cli
