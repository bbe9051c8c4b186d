#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "testing/scratch_dir.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// tarvo-cli with a station folder of its own holding the sample chart files.
struct StationCliTest : ::testing::Test {
  StationCliTest() {
    setenv("TARVO_CONFIG_DIR", dir.c_str(), 1);
    for (const auto& e : fs::directory_iterator(TARVO_SAMPLES_DIR)) {
      if (e.path().extension() == ".prn") fs::copy(e.path(), dir);
    }
  }

  int Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"tarvo-cli", "--printer", printer, "--virtual-time", "--station-dir",
                               dir.string()});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::istringstream in;
    out.str("");
    err.str("");
    return cli::Run(static_cast<int>(argv.size()), argv.data(), in, out, err);
  }
  void Script(const std::string& lines) { std::ofstream(dir / "answers.script") << lines; }
  std::string Operator() const { return "script:" + (dir / "answers.script").string(); }
  // The JSON object of the last "station show" in the output.
  nlohmann::json Shown() const {
    std::string text = out.str();
    size_t at = text.rfind("\n{");
    return nlohmann::json::parse(text.substr(at == std::string::npos ? 0 : at + 1));
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::string printer = "sim:" + (dir / "printer.json").string();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(StationCliTest, TheDemoSessionTakesAFreshPrinterThroughBothStationsToPass) {
  const std::string samples = TARVO_SAMPLES_DIR;
  EXPECT_EQ(Cli({"--operator", "script:" + samples + "/demo.script", "session",
                 samples + "/demo.session"}),
            0)
      << err.str();
  nlohmann::json page = Shown();
  EXPECT_EQ(page["station"], 2);
  EXPECT_EQ(page["total"]["text"], "PASS");
  EXPECT_EQ(page["total"]["state"], 6);
  EXPECT_EQ(page["rom_write_failures"], 0);
  EXPECT_EQ(page["fields"]["Head ID"], "AB12CD");
  EXPECT_EQ(page["fields"]["Jig No. / CT"], "07");
  ASSERT_EQ(page["slots"].size(), 13u);
  for (const auto& slot : page["slots"]) EXPECT_EQ(slot["result"], "PASS") << slot.dump();
  // The list of the selected station, one "POSITION TEXT" line each.
  EXPECT_THAT(out.str(),
              HasSubstr("\n20 -------------------------------------------------------\n"));
  EXPECT_THAT(out.str(), HasSubstr("\n26  9. Ink DisCharge\n"));
  // The finishing data went into the printer.
  std::ifstream state(dir / "printer.json");
  nlohmann::json printer = nlohmann::json::parse(state);
  EXPECT_EQ(printer["eeprom"].get<std::string>().substr(2 * 0x7B, 2), "01");
}

TEST_F(StationCliTest, RunGoesOnWhateverThePageShows) {
  // A printer without a head ID is refused at Station 2, and the session goes on to "show".
  Script("ok\n");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "select", "2", "+", "station", "run", "0",
                 "+", "station", "show"}),
            0);
  EXPECT_THAT(out.str(), HasSubstr("station run 0: refused"));
  EXPECT_EQ(Shown()["slots"][0]["result"], "not run");
  // Off line: the link's message, then the run goes on as well.
  Script("ok\n");
  printer = "sim?absent=1";
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "run", "4"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("station run 4: off line"));
}

TEST_F(StationCliTest, BadCommandLinesAndAnOperatorOutOfAnswersEndTheRun) {
  Script("");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "run", "x"}), 2);
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "select", "3"}), 2);
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "fly"}), 2);
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "show", "extra"}), 2);
  // Station 1, "1. Lubrication of Grease": the script has no verdict for it.
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "select", "1", "+", "station", "run", "0"}),
            3);
}

TEST_F(StationCliTest, SetupWritesTheSettingsFilesThroughTheOperator) {
  Script("fields Belt Name=ab1 PC Name=z9\nset Jig No / IC=IC\nchoose 2\n");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "setup", "1", "+", "station", "setup", "2"}),
            0)
      << err.str();
  std::ifstream one(dir / "1.data", std::ios::binary), two(dir / "2.data", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(one), {}), std::string("\0AB1Z9", 6));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(two), {}), std::string("\2CT", 3));
  Script("cancel\n");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "setup", "1"}), 1);
  EXPECT_THAT(out.str(), HasSubstr("station setup 1: cancelled"));
}

TEST_F(StationCliTest, SetupOffersThePrinterOptionEditorsOverTheSettingsStore) {
  Script(
      "set Initial Offset=On MS1=-3 VSD=12\napply\n"
      "fields unplugAcmlt=300\nfields unplugAcmlt=24 tclCondition=9 Ink System Init=Off\n");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "setup", "offsets", "+", "station", "setup",
                 "ink", "+", "settings"}),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("station setup offsets: saved"));
  EXPECT_THAT(out.str(), HasSubstr("station setup ink: saved"));
  // The refused 300 left the dialog open for the next line.
  const std::string shown = out.str();
  for (const char* value :
       {"\nMS1=-3\n", "\nVSD=12\n", "\ndisableink=1\n", "\ntclCond=9\n", "\nunplugA=24\n"}) {
    EXPECT_THAT(shown, HasSubstr(value));
  }
  // Leaving the editor stores nothing.
  Script("set MS1=5\nexit\n");
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "setup", "offsets", "+", "settings"}), 1);
  EXPECT_THAT(out.str(), HasSubstr("station setup offsets: cancelled"));
  EXPECT_EQ(Cli({"settings"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("\nMS1=-3\n"));
  EXPECT_EQ(Cli({"--operator", Operator(), "station", "setup", "bid"}), 2);
}

}  // namespace
}  // namespace tarvo::cli
