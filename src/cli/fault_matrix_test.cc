// Every operation that writes the EEPROM, called as the front ends call it (the catalogue), against
// every way the printer can fail to take the write: it must never tell success, never hand on
// result 1/true and never let tarvo-cli exit 0 where the EEPROM does not hold what the operation
// meant to write. And every operation that only sends commands fails when its first write fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_table.h"
#include "cli/command.h"
#include "model/device_state.h"
#include "model/rom_layout.h"
#include "model/station_data.h"
#include "operations/catalogue.h"
#include "operations/transfer_0071.h"
#include "sim/sim_spec.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

using Station = StationData;

struct Rig : testing::DeviceRig {
  explicit Rig(const Edition& edition) : testing::DeviceRig(edition) {}
  Station station;
};

bool VersionByte(size_t i) {
  return i >= kFwVersionOffset && i < kFwVersionOffset + kFwVersionSize;
}

// Whether `eeprom` holds `meant` in every byte but the firmware version.
bool HoldsImage(const RomImage& eeprom, const RomImage& meant) {
  for (size_t i = 0; i < kRomImageSize; ++i) {
    if (!VersionByte(i) && eeprom[i] != meant[i]) return false;
  }
  return true;
}

RomImage Fresh() {
  RomImage image;
  image.fill(0xFF);
  return image;
}

struct EepromCase {
  std::string name;
  const Edition* edition;
  // Queues the operator's answers (again before every run).
  std::function<void(Rig&, const fs::path& dir)> prepare;
  std::function<Outcome(Rig&)> run;
  // Whether the EEPROM holds what the operation meant to write.
  std::function<bool(const RomImage& eeprom, const Station&)> holds;
  // The result the station or the library's host is handed: true means "written".
  std::function<bool(const Outcome&)> told_written = [](const Outcome& o) { return o.achieved(); };
};

void PrintTo(const EepromCase& c, std::ostream* os) {
  *os << c.name;
}

// Texts that tell the operator a write went well.
const std::vector<std::string> kSuccessTexts = {"Set Charge Flag Success !!",
                                                "Load Data Success !!",
                                                "Reset Data Success !!",
                                                "Save ROM Data Success!!",
                                                "ROM資料寫入成功 !!",
                                                "Write EEPROM Success !!",
                                                "寫入初始資料成功 !!",
                                                "Completed !!",
                                                "排墨完畢!!",
                                                "排墨完成!!"};

bool ToldSuccess(const RecordingOperator& op) {
  for (const Message& m : op.messages()) {
    if (std::find(kSuccessTexts.begin(), kSuccessTexts.end(), m.text) != kSuccessTexts.end())
      return true;
  }
  return false;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Field(const RomImage& e, size_t offset, uint8_t value) {
  return e[offset] == value;
}

bool InkValuesHeld(const RomImage& e) {
  return Field(e, kUnplugAccumulationOffset, 24) && Field(e, kTclConditionOffset, 3);
}

// The finishing of a discharge: FitToPage and FtFlag set and, except in the library's copy
// without power-off, the counters cleared.
bool FinishingHeld(const RomImage& e, bool flags_only) {
  if (!Field(e, kFitToPageOffset, 1) || !Field(e, kFtFlagOffset, 1)) return false;
  if (flags_only) return Field(e, kInitialStuffFlagOffset, 1) && Field(e, 0x29, 0);
  for (size_t i = kProtectionCounterAOffset; i < kUnplugAccumulationOffset; ++i) {
    if (e[i] != 0) return false;
  }
  return true;
}

Outcome DisCharge(Rig& r, bool power_off) {
  return power_off ? catalogue::InkDisCharge(r.ctx, r.link, r.station, 1)
                   : catalogue::InkDisChargeNoPowerOff(r.ctx, r.link, r.station, 1);
}

std::vector<EepromCase> EepromCases() {
  std::vector<EepromCase> cases;
  for (const Edition* e : {&kProgramEdition, &kLibraryEdition}) {
    const std::string ed = e->is_program() ? "Program" : "Library";
    cases.push_back(
        {"SetCharge" + ed, e, [](Rig& r, const fs::path&) { r.op.QueueDialogLine("enter 1"); },
         [](Rig& r) { return catalogue::SetCharge(r.ctx, r.link, r.station); },
         [](const RomImage& m, const Station&) { return Field(m, kInitialStuffFlagOffset, 1); }});
    cases.push_back(
        {"SetInitialStuff" + ed, e,
         [](Rig& r, const fs::path&) { r.op.QueueDialogLine("enter 1"); },
         [](Rig& r) { return catalogue::SetInitialStuff(r.ctx, r.link, r.station); },
         [](const RomImage& m, const Station&) { return Field(m, kInitialStuffFlagOffset, 1); }});
    cases.push_back({"SetFTFlag" + ed, e,
                     [](Rig& r, const fs::path&) { r.op.QueueDialogLine("enter 1"); },
                     [](Rig& r) { return catalogue::SetFTFlag(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) { return Field(m, kFtFlagOffset, 1); }});
    cases.push_back({"ResetAll" + ed, e,
                     [](Rig& r, const fs::path&) {
                       r.op.QueueDialogLine("enter 1");
                       r.op.QueueDialogLine("ok");
                     },
                     [](Rig& r) { return catalogue::ResetAll(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) {
                       RomImage meant{};
                       meant[kInitialStuffFlagOffset] = 1;
                       return HoldsImage(m, meant);
                     }});
    cases.push_back({"LoadFile" + ed, e,
                     [](Rig& r, const fs::path& dir) {
                       std::vector<uint8_t> bytes(kRomImageSize);
                       for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 3 + 1);
                       WriteFile(dir / "image.rom", bytes);
                       r.op.QueueFile((dir / "image.rom").string());
                     },
                     [](Rig& r) { return catalogue::LoadFile(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) {
                       RomImage meant;
                       for (size_t i = 0; i < meant.size(); ++i) meant[i] = uint8_t(i * 3 + 1);
                       return HoldsImage(m, meant);
                     }});
    cases.push_back({"Transferflag" + ed, e,
                     [](Rig& r, const fs::path& dir) {
                       WriteFile(dir / "old.rom", std::vector<uint8_t>(kOldRomFileSize, 0x11));
                       r.op.QueueFile((dir / "old.rom").string());
                     },
                     [](Rig& r) { return catalogue::Transferflag(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) {
                       std::array<uint8_t, kOldRomFileSize> old;
                       old.fill(0x11);
                       return HoldsImage(m, ConvertRomData0071(old, RomImage{}, "0073"));
                     }});
    cases.push_back({"SetInkSystemValue" + ed, e, [](Rig&, const fs::path&) {},
                     [](Rig& r) { return catalogue::SetInkSystemValue(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) { return InkValuesHeld(m); }});
    cases.push_back(
        {"SetHeadID" + ed, e, [](Rig& r, const fs::path&) { r.op.QueueDialogLine("enter AB12CD"); },
         [](Rig& r) { return catalogue::SetHeadID(r.ctx, r.link, r.station); },
         [](const RomImage& m, const Station&) {
           return std::equal(m.begin() + kHeadIdOffset, m.begin() + kHeadIdOffset + 6, "AB12CD") &&
                  InkValuesHeld(m);
         },
         [](const Outcome& o) { return o.ResultCode() == 1; }});
    cases.push_back({"SetInitialValue" + ed, e, [](Rig&, const fs::path&) {},
                     [](Rig& r) { return catalogue::SetInitialValue(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station&) {
                       RomImage meant = Fresh();
                       ApplyInitialValues(meant, "0073");
                       return HoldsImage(m, meant);
                     }});
    cases.push_back({"DumpData" + ed, e,
                     [](Rig& r, const fs::path&) {
                       r.op.QueueDialogLine("fields Initial Stuff Flag=1 FT Flag=1");
                     },
                     [](Rig& r) { return catalogue::DumpData(r.ctx, r.link, r.station, 0); },
                     [](const RomImage& m, const Station&) {
                       return Field(m, kInitialStuffFlagOffset, 1) && Field(m, kFtFlagOffset, 1);
                     }});
    cases.push_back({"TOF" + ed, e,
                     [](Rig& r, const fs::path&) {
                       r.op.QueueDialogLine("choose 2");
                       r.op.QueueDialogLine("ok");
                     },
                     [](Rig& r) { return catalogue::TOF(r.ctx, r.link, r.station); },
                     [](const RomImage& m, const Station& s) {
                       return m[kTofAdjustOffset] == s.working_block[kTofAdjustOffset];
                     },
                     [](const Outcome& o) { return o.ResultCode() == 1; }});
    cases.push_back({"BiAdjust" + ed, e,
                     [](Rig& r, const fs::path&) { r.op.QueueDialogLine("ok 3"); },
                     [](Rig& r) { return catalogue::BiAdjust(r.ctx, r.link, r.station, 0); },
                     [](const RomImage& m, const Station& s) {
                       return m[kMs1AdjustOffset] == s.working_block[kMs1AdjustOffset];
                     },
                     [](const Outcome& o) { return o.ResultCode() == 1; }});
    for (bool power_off : {true, false}) {
      const bool flags_only = e->is_library() && !power_off;
      cases.push_back({std::string(power_off ? "InkDisCharge" : "InkDisChargeNoPowerOff") + ed, e,
                       [](Rig& r, const fs::path&) { r.op.QueueDialogLine("no"); },
                       [power_off](Rig& r) { return DisCharge(r, power_off); },
                       [flags_only](const RomImage& m, const Station&) {
                         return FinishingHeld(m, flags_only);
                       }});
    }
  }
  return cases;
}

// How one run ended.
struct RunResult {
  Outcome outcome;
  RomImage eeprom{};
  bool told_success = false;
  size_t writes = 0;  // write transfers the operation made
  bool holds = false;
};

class EepromFaultMatrix : public ::testing::TestWithParam<EepromCase> {
 protected:
  RunResult RunWith(const sim::SimFaults& faults) {
    const EepromCase& c = GetParam();
    Rig rig(*c.edition);
    rig.printer.eeprom() = Fresh();
    EXPECT_TRUE(rig.Open());
    rig.wire_lines.Clear();
    rig.printer.faults() = faults;
    rig.ctx.station_dir = scratch.path();
    c.prepare(rig, scratch.path());
    RunResult run;
    run.outcome = c.run(rig);
    run.eeprom = rig.printer.eeprom();
    run.told_success = ToldSuccess(rig.op);
    for (const std::string& line : rig.wire_lines.lines()) {
      run.writes += line.starts_with("W");
    }
    run.holds = c.holds(run.eeprom, rig.station);
    return run;
  }

  // Where the EEPROM does not hold what was meant, nothing may say it does.
  void ExpectNoFalseSuccess(const RunResult& run, const std::string& fault) {
    if (run.holds) return;
    EXPECT_FALSE(run.told_success) << fault;
    EXPECT_FALSE(GetParam().told_written(run.outcome)) << fault;
    EXPECT_NE(cli::ExitStatus(run.outcome), cli::kExitOk) << fault;
  }

  testing::StationFolder scratch;
};

TEST_P(EepromFaultMatrix, NeverToldWrittenWhereTheEepromDoesNotHoldIt) {
  const RunResult clean = RunWith({});
  ASSERT_TRUE(clean.holds) << "the operation does not write what the case means";
  EXPECT_TRUE(clean.outcome.ok()) << clean.outcome.step;
  ASSERT_GT(clean.writes, 0u);

  sim::SimFaults dropped;
  dropped.eeprom_sticks = false;
  const RunResult not_stored = RunWith(dropped);
  EXPECT_FALSE(not_stored.holds);
  ExpectNoFalseSuccess(not_stored, "eeprom_sticks=0");

  // Writes to the upper half acknowledged and dropped: only part of the image is stored.
  std::optional<sim::SimSpec> partial = sim::ParseSimSpec("?eeprom_readonly=0x40-0x7f", nullptr);
  ASSERT_TRUE(partial);
  ExpectNoFalseSuccess(RunWith(partial->faults), "eeprom_readonly=0x40-0x7f");

  sim::SimFaults silent;
  silent.silent = true;
  const RunResult unanswered = RunWith(silent);
  ExpectNoFalseSuccess(unanswered, "silent");
  EXPECT_NE(cli::ExitStatus(unanswered.outcome), cli::kExitOk) << "silent";

  // Each write of the operation in turn is the first to fail; every later one fails too. A
  // failed write was told, so the tool never exits 0 after one.
  for (size_t k = 0; k < clean.writes; ++k) {
    sim::SimFaults failing;
    failing.fail_write_after = static_cast<int>(k);
    const RunResult run = RunWith(failing);
    const std::string fault = "fail_write_after=" + std::to_string(k);
    ExpectNoFalseSuccess(run, fault);
    EXPECT_NE(cli::ExitStatus(run.outcome), cli::kExitOk) << fault;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, EepromFaultMatrix, ::testing::ValuesIn(EepromCases()),
                         [](const auto& info) { return info.param.name; });

// Operations that only send: a first write that fails fails the operation.
struct SendCase {
  std::string name;
  std::function<void(Rig&, const fs::path& dir)> prepare;
  std::function<Outcome(Rig&)> run;
};

void PrintTo(const SendCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<SendCase> SendCases() {
  auto none = [](Rig&, const fs::path&) {};
  return {
      {"Lubrication", none,
       [](Rig& r) { return catalogue::Lubrication(r.ctx, r.link, r.station); }},
      {"InkCharge", none, [](Rig& r) { return catalogue::InkCharge(r.ctx, r.link, r.station); }},
      {"NozzleClean", none,
       [](Rig& r) { return catalogue::NozzleClean(r.ctx, r.link, r.station, 1); }},
      {"InkDisChargeWithoutFinishing", [](Rig& r, const fs::path&) { r.op.QueueDialogLine("no"); },
       [](Rig& r) { return catalogue::InkDisCharge(r.ctx, r.link, r.station, 0); }},
      {"PowerOff", none, [](Rig& r) { return catalogue::PowerOff(r.ctx, r.link, r.station, 0); }},
      {"MotorAction", [](Rig& r, const fs::path&) { r.op.QueueDialogLine("choose 3"); },
       [](Rig& r) { return catalogue::MotorAction(r.ctx, r.link, r.station); }},
      {"MotorMoveTest",
       [](Rig& r, const fs::path&) { r.op.QueueDialogLine("motor CR CW 1 100 C MoveOnly"); },
       [](Rig& r) { return catalogue::MotorMoveTest(r.ctx, r.link, r.station); }},
      {"PowerOffTest", [](Rig& r, const fs::path&) { r.op.QueueDialogLine("ok"); },
       [](Rig& r) { return catalogue::PowerOffTest(r.ctx, r.link, r.station); }},
      {"PrintChart", none,
       [](Rig& r) {
         return catalogue::PrintChart(r.ctx, r.link, r.station, r.station.working_block, kTofChart);
       }},
      {"SendPrintFile",
       [](Rig&, const fs::path& dir) { WriteFile(dir / "page.prn", std::vector<uint8_t>(100, 7)); },
       [](Rig& r) { return catalogue::SendPrintFile(r.ctx, r.link, r.station, "page.prn"); }},
      {"UpdateFW",
       [](Rig& r, const fs::path& dir) {
         WriteFile(dir / "fw.bin", std::vector<uint8_t>(100, 7));
         r.op.QueueFile((dir / "fw.bin").string());
       },
       [](Rig& r) { return catalogue::UpdateFW(r.ctx, r.link, r.station); }},
      {"UpdateShippingFW",
       [](Rig&, const fs::path& dir) {
         WriteFile(dir / "Shipping_1C71.bin", std::vector<uint8_t>(100, 7));
       },
       [](Rig& r) { return catalogue::UpdateShippingFW(r.ctx, r.link, r.station, 1); }},
      {"ReadTemperatureBegin", none,
       [](Rig& r) {
         int temperature = -1;
         return catalogue::ReadTemperatureBegin(r.ctx, r.link, r.station, temperature);
       }},
      {"DumpTransferROMData", none,
       [](Rig& r) {
         std::array<uint8_t, kLibrarySummarySize> record{};
         return catalogue::DumpTransferROMData(r.ctx, r.link, r.station, record);
       }},
  };
}

class WriteOnlyFaults : public ::testing::TestWithParam<SendCase> {
 protected:
  Outcome RunWith(const Edition& edition, const sim::SimFaults& faults) {
    Rig rig(edition);
    EXPECT_TRUE(rig.Open());
    rig.printer.faults() = faults;
    rig.ctx.station_dir = scratch.path();
    GetParam().prepare(rig, scratch.path());
    return GetParam().run(rig);
  }

  testing::StationFolder scratch;
};

TEST_P(WriteOnlyFaults, FailsWhenItsFirstWriteFails) {
  for (const Edition* edition : {&kProgramEdition, &kLibraryEdition}) {
    const Outcome clean = RunWith(*edition, {});
    EXPECT_TRUE(clean.ok()) << clean.step;
    EXPECT_EQ(cli::ExitStatus(clean), cli::kExitOk);

    sim::SimFaults failing;
    failing.fail_write_after = 0;
    const Outcome failed = RunWith(*edition, failing);
    EXPECT_EQ(failed.kind, OutcomeKind::kTransferFailed) << failed.step;
    EXPECT_NE(cli::ExitStatus(failed), cli::kExitOk);
    EXPECT_FALSE(failed.step.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, WriteOnlyFaults, ::testing::ValuesIn(SendCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tarvo
