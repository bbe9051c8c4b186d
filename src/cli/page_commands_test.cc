#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/run.h"
#include "testing/scratch_dir.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

struct PageCommandsTest : ::testing::Test {
  PageCommandsTest() { setenv("TARVO_CONFIG_DIR", dir.c_str(), 1); }

  // Runs tarvo-cli on the simulated printer (with `faults`) in virtual time, answered by
  // `script`.
  int Cli(std::vector<std::string> args, const std::string& script = "",
          const std::string& faults = "") {
    const std::string script_file = (dir / "answers.script").string();
    std::ofstream(script_file) << script;
    std::vector<std::string> all = {"tarvo-cli",
                                    "--printer",
                                    "sim:" + (dir / "printer.json").string() + faults,
                                    "--virtual-time",
                                    "--operator",
                                    "script:" + script_file,
                                    "--wire-log",
                                    (dir / "wire.log").string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    std::istringstream in;
    out.str("");
    err.str("");
    return cli::Run(static_cast<int>(argv.size()), argv.data(), in, out, err);
  }
  std::string WireLog() const {
    std::ifstream file(dir / "wire.log");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(PageCommandsTest, MeasurementThroughTheScript) {
  EXPECT_EQ(Cli({"dotweight", "measure", "mono"},
                "set Before Weight=25 After Weight=23.5\nmeasure\nexit\n"),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("Mono Measure:\n"));
  EXPECT_THAT(out.str(), HasSubstr("Avarage = 44.4985"));
  EXPECT_THAT(out.str(), HasSubstr("Test Result = PASS\n"));
  EXPECT_THAT(out.str(), HasSubstr("MAX THresold = 52.9 ng\n"));

  // A bad weight is refused, the measurement still runs on the old values; Reset keeps the
  // limits.
  EXPECT_EQ(Cli({"dotweight", "measure", "cmy"},
                "set Before Weight=25 After Weight=23.5\nmeasure\nset Before Weight=x\nmeasure\n"
                "reset\nexit\n"),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("CMY Measure:\nBefore Weight = 0 g\nAfter Weight = 0 g\n"
                                   "MAX THresold = 52.9 ng\nMin THresold = 40.7 ng\n"
                                   "Avarage = 0 ng\nTest Result = \n"));
}

TEST_F(PageCommandsTest, PrintFileSendsTheDotFileOfTheStationFolder) {
  EXPECT_EQ(Cli({"dotweight", "measure", "mono"}, "print file\nok\nexit\n"), 0) << err.str();
  EXPECT_THAT(WireLog(), Not(HasSubstr("S 60000")));  // missing: told once, no wait
  EXPECT_THAT(WireLog(), EndsWith("C\n"));

  std::ofstream(dir / "KDot.prn") << "dots";
  EXPECT_EQ(
      Cli({"--station-dir", dir.string(), "dotweight", "measure", "mono"}, "print file\nexit\n"), 0)
      << err.str();
  EXPECT_THAT(WireLog(), HasSubstr("S 60000\nW 646f7473\nS 60000\nW 646f7473\nS 60000\nC\n"));
}

TEST_F(PageCommandsTest, RdListAndRun) {
  EXPECT_EQ(Cli({"rd", "list"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("0  1. Change Ink Charge Flag\n"));
  EXPECT_THAT(out.str(), EndsWith("12 13. Dump Fatal Error Code\n"));

  EXPECT_EQ(Cli({"rd", "run", "1"}, "ok\n"), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("rd:  2. Show FW Version: done"));

  EXPECT_EQ(Cli({"rd", "run"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("rd: (no entry): nothing run"));

  EXPECT_EQ(Cli({"rd", "run", "12"}, "ok\n", "?absent=1"), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("rd: 13. Dump Fatal Error Code: off line"));

  EXPECT_EQ(Cli({"rd", "run", "x"}), 2);
  EXPECT_EQ(Cli({"rd", "show"}), 2);
}

TEST_F(PageCommandsTest, ViewerListsRunsAndShows) {
  EXPECT_EQ(Cli({"viewer", "list", "0"}), 0);
  EXPECT_THAT(out.str(), EndsWith("15  8. Set Shippment State\n"));

  EXPECT_EQ(Cli({"viewer", "run", "2", "0", "+", "viewer", "show"}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("viewer:  1. Read ROM Data: done\n"));
  std::string json = out.str().substr(out.str().find('{'));
  auto j = nlohmann::json::parse(json);
  EXPECT_EQ(j["drop_down"]["text"], "Product Line");
  EXPECT_EQ(j["fields"]["FW Ver."], "0073");
  EXPECT_EQ(j["fields"]["Ink Charge"], 0);
  EXPECT_EQ(j["fields"]["Nozzle Cleanning"], 0);

  EXPECT_EQ(Cli({"viewer", "run", "0"}), 2);
  EXPECT_EQ(Cli({"viewer", "list", "two"}), 2);
}

TEST_F(PageCommandsTest, AboutShowsTheFixedLinesAndTheSixLabels) {
  EXPECT_EQ(Cli({"about"}), 0);
  std::string text = out.str();
  EXPECT_EQ(text.rfind("FT Version 0.0.7.5\n", 0), 0u);
  for (const char* label :
       {"\nPrinter Name: ", "\nFirmware Version: .\n", "\nFirmware Issue Date: ..\xC3\xBF:\n",
        "\nUser Name: ", "\nOS Version: ", "\nComputer Name: "}) {
    EXPECT_THAT(text, HasSubstr(label));
  }
}

}  // namespace
}  // namespace tarvo::cli
