#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/run.h"
#include "testing/scratch_dir.h"
#include "testing/set_env.h"

namespace tarvo::cli {
namespace {

using ::testing::HasSubstr;

// The doctor's checks of the bus itself are tested against emulated printers (src/doctor); here,
// what tarvo-cli makes of them.
struct DoctorCommandTest : ::testing::Test {
  DoctorCommandTest() { tarvo::testing::SetEnv("TARVO_CONFIG_DIR", scratch.path().string()); }

  int Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"tarvo-cli", "--printer", "sim:" + scratch.File("printer.json"),
                               "--virtual-time", "--station-dir", scratch.path().string()});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::istringstream in;
    out.str("");
    err.str("");
    return cli::Run(static_cast<int>(argv.size()), argv.data(), in, out, err);
  }

  tarvo::testing::ScratchDir scratch;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(DoctorCommandTest, ReportsEveryCheckAndExitsByTheVerdict) {
  const int status = Cli({"doctor"});
  const std::string text = out.str();
  EXPECT_THAT(text, HasSubstr("note  this run's printer is the simulated one"));
  EXPECT_THAT(text, HasSubstr("settings: " + scratch.File("settings.json") + " can be made"));
  EXPECT_THAT(text, HasSubstr("chart files: none of the 26 is in " + scratch.path().string()));
  // Whatever this machine's bus holds, the exit status follows the verdict.
  if (text.find("No printer is usable.") != std::string::npos) {
    EXPECT_EQ(status, 4);
  } else {
    EXPECT_THAT(text, HasSubstr("A printer is usable."));
    EXPECT_EQ(status, 0);
  }
}

TEST_F(DoctorCommandTest, RefusesAnUnknownAccountExtraWordsAndAnOpenLink) {
  EXPECT_EQ(Cli({"doctor", "no-such-account-here"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("doctor: no account no-such-account-here"));
  EXPECT_EQ(Cli({"doctor", "a", "b"}), 2);
  EXPECT_EQ(Cli({"HandleOpen", "+", "doctor"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("close the printer link first"));
}

}  // namespace
}  // namespace tarvo::cli
