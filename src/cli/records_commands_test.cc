#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/run.h"
#include "model/printer_identity.h"
#include "model/rom_layout.h"
#include "records/local_store.h"
#include "testing/scratch_dir.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct RecordsCommandsTest : ::testing::Test {
  RecordsCommandsTest() {
    setenv("TARVO_CONFIG_DIR", dir.c_str(), 1);
    setenv("TARVO_DATA_DIR", (dir / "data").c_str(), 1);
    unsetenv("TARVO_RECORDS_URL");
  }
  ~RecordsCommandsTest() override { unsetenv("TARVO_DATA_DIR"); }

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
  std::vector<std::string> OutLines() const {
    std::istringstream s(out.str());
    std::vector<std::string> lines;
    for (std::string l; std::getline(s, l);) lines.push_back(l);
    return lines;
  }

  testing::ScratchDir scratch;
  const fs::path dir = scratch.path();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(RecordsCommandsTest, TheJournalHoldsEveryWriteWithItsImagesAndRestoresOneOnConfirmation) {
  // Head ID, TOF accepted as it is, MS1 edited in the EEPROM Data dialog, discharge with finishing.
  ASSERT_EQ(Cli({"HandleOpen", "+", "SetHeadID", "+", "TOF", "+", "DumpData", "0", "+",
                 "InkDisCharge", "1"},
                "enter AB12CD\nok\nok\nchoose 1\nfields MS1=-3\nok\nok\nno\nok\nok\nok\n"),
            0)
      << err.str();
  EXPECT_TRUE(fs::exists(dir / "data" / "records.sqlite"));

  ASSERT_EQ(Cli({"journal", "list"}), 0) << err.str();
  std::vector<std::string> lines = OutLines();
  ASSERT_EQ(lines.size(), 5u) << out.str();
  EXPECT_THAT(lines[0], HasSubstr("SetHeadID | head block |"));
  EXPECT_THAT(lines[0], HasSubstr("AB12CD | verified"));
  EXPECT_THAT(lines[1], HasSubstr("SetHeadID | rom image"));
  EXPECT_THAT(lines[2], HasSubstr("TOF | head block"));
  EXPECT_THAT(lines[2], HasSubstr("0 fields changed"));
  EXPECT_THAT(lines[3], HasSubstr("DumpData | rom image"));
  EXPECT_THAT(lines[3], HasSubstr("1 fields changed"));
  EXPECT_THAT(lines[4], HasSubstr("InkDisCharge | rom image"));

  ASSERT_EQ(Cli({"journal", "show", "4"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("0x1b Ms1Adjust: 0 -> -3 *\n"));
  EXPECT_THAT(out.str(), HasSubstr("0x15 HeadId: \"AB12CD\" -> \"AB12CD\"\n"));
  ASSERT_EQ(Cli({"journal", "show", "5"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("0x7b FtFlag: 255 -> 1 *"));

  // ResetAll clears the image; the journal brings it back.
  ASSERT_EQ(Cli({"rom"}), 0);
  const std::string before_reset = out.str();
  ASSERT_EQ(Cli({"ResetAll"}, "ok\nok\nok\n"), 0) << err.str();
  ASSERT_EQ(Cli({"rom"}), 0);
  EXPECT_NE(out.str(), before_reset);
  ASSERT_EQ(Cli({"journal", "list"}), 0);
  ASSERT_EQ(OutLines().size(), 6u);
  EXPECT_THAT(OutLines()[5], HasSubstr("ResetAll | rom image"));

  EXPECT_EQ(Cli({"journal", "restore", "6"}, "no\n"), 1);
  EXPECT_THAT(out.str(), HasSubstr("journal restore: cancelled"));
  ASSERT_EQ(Cli({"journal", "restore", "6", "+", "rom"}, "yes\n"), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("journal restore: written and verified"));
  EXPECT_THAT(out.str(), HasSubstr(before_reset.substr(before_reset.find('\n') + 1)));
  // The restore is on the journal too, with what it overwrote.
  ASSERT_EQ(Cli({"journal", "list", "--serial", "nobody"}), 0);
  EXPECT_TRUE(out.str().empty());
  ASSERT_EQ(Cli({"journal", "show", "7"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("journal restore 6 at"));
}

TEST_F(RecordsCommandsTest, StepsAreListedShownExportedAndCountedPerDay) {
  {
    records::LocalStore store;
    ASSERT_TRUE(store.Open((dir / "data" / "records.sqlite").string())) << store.error();
    const records::Origin origin{"station-a", "0.1.0", "program"};
    StepRecord step;
    step.station = 2;
    step.position = 12;
    step.text = "    2-8. Print - Nozzle Check";
    step.started = "2026-12-08T09:00:00";
    step.ended = "2026-12-08T09:01:00";
    step.printer = {"031", "ABC01261208090000", "AB12CD"};
    step.slot_results = {{1, "Nozzle Check", 0}};
    step.total = 0;
    ASSERT_TRUE(store.Add(step, origin));
    step.slot_results = {{1, "Nozzle Check", 1}};
    step.total = 2;
    step.text = "a text, with \"quotes\"";
    step.started = "2026-12-09T08:00:00";
    ASSERT_TRUE(store.Add(step, origin));
  }
  ASSERT_EQ(Cli({"records", "list", "--since", "2026-12-09"}), 0) << err.str();
  ASSERT_EQ(OutLines().size(), 1u);
  EXPECT_THAT(OutLines()[0], HasSubstr("2 2026-12-09T08:00:00 S2 12"));
  EXPECT_THAT(OutLines()[0], HasSubstr("Nozzle Check=PASS | total Testing"));
  ASSERT_EQ(Cli({"records", "list", "--station", "1"}), 0);
  EXPECT_TRUE(out.str().empty());

  ASSERT_EQ(Cli({"records", "show", "1"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("USB S/No. ABC01261208090000, head ID AB12CD"));
  EXPECT_THAT(out.str(), HasSubstr("history of ABC01261208090000:\n1 "));
  EXPECT_EQ(Cli({"records", "show", "9"}), 1);

  ASSERT_EQ(Cli({"records", "export", "--format", "csv"}), 0);
  EXPECT_THAT(out.str(), HasSubstr(",\"a text, with \"\"quotes\"\"\","));
  ASSERT_EQ(Cli({"records", "export", "--format", "json"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("\"usb_serial\": \"ABC01261208090000\""));

  ASSERT_EQ(Cli({"records", "yield"}), 0);
  EXPECT_EQ(out.str(),
            "2026-12-08 station 2: 1 printers, 0 passed, 1 failed; failed most: Nozzle Check (1)\n"
            "2026-12-09 station 2: 1 printers, 0 passed, 0 failed\n");

  EXPECT_EQ(Cli({"records", "push"}), 1);
  EXPECT_THAT(err.str(), HasSubstr("no line database is set"));
  EXPECT_EQ(Cli({"records", "export"}), 2);
  EXPECT_EQ(Cli({"records", "list", "--station", "7"}), 2);
  EXPECT_EQ(Cli({"journal", "show", "x"}), 2);
}

TEST_F(RecordsCommandsTest, AnUnreachableLineDatabaseIsOneWarningAndTheCommandsGoOn) {
  setenv("TARVO_RECORDS_URL", "host=/nonexistent dbname=line password=Sekr1tPass", 1);
  EXPECT_EQ(Cli({"HandleOpen", "+", "SetHeadID", "+", "SetHeadID"},
                "enter AB12CD\nok\nenter AB12CE\nok\n"),
            0);
  unsetenv("TARVO_RECORDS_URL");
  EXPECT_THAT(err.str(), HasSubstr("records: the line database cannot be reached"));
  EXPECT_EQ(err.str().find("records:"), err.str().rfind("records:")) << err.str();
  EXPECT_THAT(err.str(), Not(HasSubstr("Sekr1tPass")));
  ASSERT_EQ(Cli({"journal", "list"}), 0);
  EXPECT_EQ(OutLines().size(), 4u);  // each SetHeadID writes the head block and the ink values
}

// A records file with a garbled page: every command that reads it says so and fails, instead of
// reading as empty; a command that records goes on, its records kept in a fresh file beside it.
TEST_F(RecordsCommandsTest, ADamagedRecordsFileFailsTheReadingCommandsAndRecordsGoBesideIt) {
  const fs::path file = dir / "data" / "records.sqlite";
  {
    records::LocalStore store;
    ASSERT_TRUE(store.Open(file.string())) << store.error();
    StepRecord step;
    step.text = std::string(200, 's');
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(store.Add(step, {"station-a", "0.1.0", "program"}));
  }
  {
    std::fstream garble(file, std::ios::binary | std::ios::in | std::ios::out);
    garble.seekp(4096);
    garble << std::string(4096, '\xA5');
  }
  auto contents = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string damaged = contents();
  const std::string told = "tarvo-cli: records: the records file " + file.string() + " is damaged";
  for (std::vector<std::string> command : {std::vector<std::string>{"records", "list"},
                                           {"records", "export", "--format", "json"},
                                           {"records", "show", "1"},
                                           {"records", "yield"},
                                           {"journal", "list"}}) {
    EXPECT_EQ(Cli(command), 1) << command[1];
    EXPECT_EQ(out.str(), "") << command[1];
    EXPECT_THAT(err.str(), HasSubstr(told)) << command[1];
    EXPECT_THAT(err.str(), Not(HasSubstr("no record"))) << command[1];
  }
  EXPECT_FALSE(fs::exists(dir / "data" / "records.fresh.sqlite"));  // reading made no file

  ASSERT_EQ(Cli({"HandleOpen", "+", "SetHeadID"}, "enter AB12CD\nok\n"), 0) << err.str();
  EXPECT_THAT(err.str(), HasSubstr(told));
  EXPECT_EQ(err.str().find("records:"), err.str().rfind("records:")) << err.str();
  records::LocalStore fresh;
  ASSERT_TRUE(fresh.Open((dir / "data" / "records.fresh.sqlite").string()));
  EXPECT_EQ(fresh.Journal().size(), 2u);
  EXPECT_EQ(contents(), damaged);
}

// A printer whose EEPROM holds bytes that are no text (model code E9 27 3B, 0xFF and a line break
// in the head ID), beside a record an older version kept with those bytes raw: every list keeps
// one line per record, the exports are well formed and hold the bytes as hex.
TEST_F(RecordsCommandsTest, PrinterFieldsOfAnyBytesKeepListsAndExportsWellFormed) {
  RomImage eeprom{};
  std::copy_n("\xE9\x27\x3B", 3, eeprom.begin());
  std::copy_n("ABC01", 5, eeprom.begin() + kUsbSerialNoOffset);
  std::copy_n("A\xFF\nB\x1b\x9b", 6, eeprom.begin() + kHeadIdOffset);
  {
    records::LocalStore store;
    ASSERT_TRUE(store.Open((dir / "data" / "records.sqlite").string())) << store.error();
    const records::Origin origin{"station-a", "0.1.0", "program"};
    StepRecord step;
    step.station = 2;
    step.text = " 1. Inital Device";
    step.started = "2026-12-08T09:00:00";
    step.printer = IdentityOf(eeprom);
    ASSERT_TRUE(store.Add(step, origin));
    ASSERT_TRUE(store.Add(step, origin));
    // As an older version kept it: the bytes themselves, no hex.
    ASSERT_TRUE(store.db().Exec(
        "UPDATE steps SET model_code = CAST(X'E9273B' AS TEXT), head_id = CAST(X'41FF0A42' AS "
        "TEXT), model_code_hex = '', head_id_hex = '' WHERE id = 2"));
    JournalEntry entry;
    entry.operation = "SetHeadID";
    entry.printer = IdentityOf(eeprom);
    entry.written.assign(kHeadBlockSize, 0);
    ASSERT_TRUE(store.Add(entry, origin));
  }
  ASSERT_EQ(Cli({"records", "list"}), 0) << err.str();
  ASSERT_EQ(OutLines().size(), 2u) << out.str();
  EXPECT_THAT(OutLines()[0], HasSubstr("| ABC01 A\u00ff\\nB\\x1b\\x9b |"));
  EXPECT_THAT(OutLines()[1], HasSubstr("| ABC01 A\u00ff\\nB |"));
  ASSERT_EQ(Cli({"journal", "list"}), 0) << err.str();
  ASSERT_EQ(OutLines().size(), 1u) << out.str();
  ASSERT_EQ(Cli({"records", "show", "2"}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("model \u00e9';"));
  EXPECT_THAT(out.str(), HasSubstr("as stored (hex): model e9273b,"));

  ASSERT_EQ(Cli({"records", "export", "--format", "json"}), 0) << err.str();
  const auto json = nlohmann::json::parse(out.str(), nullptr, false);
  ASSERT_TRUE(json.is_array()) << out.str();
  ASSERT_EQ(json.size(), 2u);
  for (const auto& row : json) {
    EXPECT_EQ(row["model_code"], "\u00e9';");
    EXPECT_EQ(row["model_code_hex"].get<std::string>().substr(0, 6), "e9273b");
  }
  EXPECT_EQ(json[0]["head_id"], "A\u00ff\nB\x1b\u009b");
  EXPECT_EQ(json[0]["head_id_hex"], "41ff0a421b9b");
  ASSERT_EQ(Cli({"records", "export", "--format", "csv"}), 0) << err.str();
  ASSERT_EQ(OutLines().size(), 3u) << out.str();
  EXPECT_THAT(OutLines()[1], HasSubstr(",A\u00ff\\nB\\x1b\\x9b,"));
  EXPECT_THAT(OutLines()[1], HasSubstr(",41ff0a421b9b"));
}

TEST_F(RecordsCommandsTest, TheLineDatabaseUrlIsATextSettingShownWithoutItsPassword) {
  ASSERT_EQ(Cli({"settings", "MS1=-3", "RecordsUrl=host=/nonexistent dbname=line password=Sekr1t"}),
            0)
      << err.str();
  EXPECT_THAT(out.str(), HasSubstr("MS1=-3\n"));
  EXPECT_THAT(out.str(), HasSubstr("RecordsUrl=host=/nonexistent dbname=line password=***\n"));
  EXPECT_EQ(Cli({"settings"}), 0);
  EXPECT_THAT(out.str(), Not(HasSubstr("Sekr1t")));
  // The setting is the line database of the next run.
  EXPECT_EQ(Cli({"records", "push"}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot be reached"));
  EXPECT_THAT(err.str(), Not(HasSubstr("Sekr1t")));

  EXPECT_EQ(Cli({"settings", "MS1=-4", "RecordsUrl=postgresql://u:Sekr1t@db:5x/line"}), 2);
  EXPECT_THAT(err.str(), HasSubstr("the port \"5x\" is not a number"));
  EXPECT_THAT(err.str(), Not(HasSubstr("Sekr1t")));
  EXPECT_EQ(Cli({"settings"}), 0);
  EXPECT_THAT(out.str(), HasSubstr("MS1=-3\n"));  // nothing of a refused line was stored

  ASSERT_EQ(Cli({"settings", "RecordsUrl="}), 0);
  EXPECT_THAT(out.str(), Not(HasSubstr("RecordsUrl")));
  EXPECT_EQ(Cli({"records", "push"}), 1);
  EXPECT_THAT(err.str(), HasSubstr("no line database is set"));
}

}  // namespace
}  // namespace tarvo::cli
