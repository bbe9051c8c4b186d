#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/run.h"
#include "testing/scratch_dir.h"
#include "testing/set_env.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct MaintenanceCommandsTest : ::testing::Test {
  MaintenanceCommandsTest() { tarvo::testing::SetEnv("TARVO_CONFIG_DIR", dir.string()); }

  // Runs tarvo-cli on the simulated printer in virtual time, answered by `script`.
  int Cli(std::vector<std::string> args, const std::string& script = "") {
    const std::string script_file = (dir / "answers.script").string();
    std::ofstream(script_file) << script;
    std::vector<std::string> all = {
        "tarvo-cli",      "--printer",  "sim:" + (dir / "printer.json").string(),
        "--virtual-time", "--operator", "script:" + script_file};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    std::istringstream in;
    out.str("");
    err.str("");
    return cli::Run(static_cast<int>(argv.size()), argv.data(), in, out, err);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(MaintenanceCommandsTest, BlocksCarryTheAdjustmentsAndCountsIntoTheNextRun) {
  // One TOF step up (each chart's missing print file is told and confirmed), then Bi-d MS1 +3.
  EXPECT_EQ(Cli({"TOF", "+", "BiAdjust", "0", "+", "NozzleClean", "1", "+", "SaveBlocks",
                 Path("blocks.bin")},
                "ok\nchoose 2\nok\nchoose 1\nok\nok 3\n"),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("TOF: 1 (TofAdjust 0)"));
  EXPECT_THAT(out.str(), HasSubstr("BiAdjust: 1 (MS1 2)"));
  EXPECT_EQ(fs::file_size(dir / "blocks.bin"), 65u);

  EXPECT_EQ(Cli({"LoadBlocks", Path("blocks.bin"), "+", "NozzleClean", "2"}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("NozzleClean: 1 (cleanings 2)"));
}

TEST_F(MaintenanceCommandsTest, BadArgumentsAreRefusedBeforeThePrinterIsTouched) {
  EXPECT_EQ(Cli({"NozzleClean", "4"}), 2);
  EXPECT_EQ(Cli({"--edition", "library", "NozzleClean", "5"}), 2);
  EXPECT_EQ(Cli({"BiAdjust", "4"}), 2);
  EXPECT_EQ(Cli({"InkDisCharge", "yes"}), 2);
  EXPECT_EQ(Cli({"LoadBlocks", Path("missing.bin")}), 1);
  EXPECT_FALSE(fs::exists(dir / "printer.json"));
}

TEST_F(MaintenanceCommandsTest, DisChargeWithoutFinishingSwitchesThePrinterOff) {
  EXPECT_EQ(Cli({"InkDisCharge", "0"}, "ok\nno\nok\nok\nok\n"), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("InkDisCharge: 1"));
}

}  // namespace
}  // namespace tarvo::cli
