// Commands of head maintenance and alignment: NozzleClean, Lubrication, InkCharge, InkDisCharge,
// InkDisChargeNoPowerOff, TOF, BiAdjust, and LoadBlocks/SaveBlocks that keep the working block and
// the chart label record in a file between runs. (PowerOff is with the EEPROM commands.)
#include <fstream>
#include <iterator>
#include <vector>

#include "base/atomic_file.h"
#include "cli/command.h"
#include "cli/session.h"
#include "operations/alignment.h"
#include "operations/catalogue.h"
#include "operations/maintenance.h"

namespace tarvo::cli {
namespace {

// A blocks file: the working block (41 bytes) followed by the chart label record (24 bytes).
constexpr size_t kBlocksFileSize = kHeadBlockSize + kChartLabelSize;

int NozzleCleanCommand(Session& s, std::span<const std::string> args) {
  const std::optional<int> mode = ParseInt(args[0]);
  if (!mode || !CleaningParameter(s.ctx.edition, *mode)) {
    s.err << "tarvo-cli: NozzleClean takes mode 1 (CL1), 2 (CL2) or 3 (CL1D)"
          << (CleaningParameter(s.ctx.edition, 4) ? " or 4" : "") << ", not \"" << args[0]
          << "\"\n";
    return kExitUsage;
  }
  Outcome cleaned = catalogue::NozzleClean(s.ctx, s.link, s.station, *mode);
  s.out << "NozzleClean: " << cleaned.ok() << " (cleanings "
        << int{s.station.chart_label.nozzle_cleanings} << ")" << FailureNoteFor(cleaned) << "\n";
  return ExitStatus(cleaned);
}

// A fixed sequence: "done", or the first command that failed.
int ReportSequence(Session& s, std::string_view name, const Outcome& outcome) {
  s.out << name << ": " << (outcome.ok() ? "done" : "failed") << FailureNoteFor(outcome) << "\n";
  return ExitStatus(outcome);
}

int LubricationCommand(Session& s, std::span<const std::string>) {
  return ReportSequence(s, "Lubrication", catalogue::Lubrication(s.ctx, s.link, s.station));
}

int InkChargeCommand(Session& s, std::span<const std::string>) {
  return ReportSequence(s, "InkCharge", catalogue::InkCharge(s.ctx, s.link, s.station));
}

bool ParseFlag(Session& s, std::string_view name, const std::string& text, int& flag) {
  if (const std::optional<int> parsed = ParseInt(text)) {
    flag = *parsed;
    return true;
  }
  s.err << "tarvo-cli: " << name << " takes 1 (store the finishing data) or 0, not \"" << text
        << "\"\n";
  return false;
}

int InkDisChargeCommand(Session& s, std::span<const std::string> args) {
  int flag = 0;
  if (!ParseFlag(s, "InkDisCharge", args[0], flag)) return kExitUsage;
  Outcome drained = catalogue::InkDisCharge(s.ctx, s.link, s.station, flag);
  s.out << "InkDisCharge: " << drained.achieved() << FailureNoteFor(drained) << "\n";
  return ExitStatus(drained);
}

int InkDisChargeNoPowerOffCommand(Session& s, std::span<const std::string> args) {
  int flag = 0;
  if (!ParseFlag(s, "InkDisChargeNoPowerOff", args[0], flag)) return kExitUsage;
  Outcome drained = catalogue::InkDisChargeNoPowerOff(s.ctx, s.link, s.station, flag);
  s.out << "InkDisChargeNoPowerOff: " << drained.achieved() << FailureNoteFor(drained) << "\n";
  return ExitStatus(drained);
}

// The adjustments print from and (library) write the working block. One that nothing has filled
// in this run is all zero; it is read from the printer first rather than written back as zeros.
bool EnsureWorkingBlock(Session& s) {
  for (uint8_t b : s.station.working_block) {
    if (b != 0) return true;
  }
  if (catalogue::ReadData(s.ctx, s.link, s.station).achieved()) {
    s.station.working_block = s.station.read_block;
    return true;
  }
  s.err << "tarvo-cli: the printer's head data block could not be read\n";
  return false;
}

int TofCommand(Session& s, std::span<const std::string>) {
  if (!EnsureWorkingBlock(s)) return kExitFailed;
  Outcome result = catalogue::TOF(s.ctx, s.link, s.station);
  s.out << "TOF: " << result.ResultCode() << " (TofAdjust "
        << int{static_cast<int8_t>(s.station.working_block[kTofAdjustOffset])} << ")"
        << FailureNoteFor(result) << "\n";
  return ExitStatus(result);
}

int BiAdjustCommand(Session& s, std::span<const std::string> args) {
  const std::optional<int> parsed = ParseInt(args[0]);
  const int mode = parsed.value_or(0);
  const BiDMode* bid = parsed ? FindBiDMode(mode) : nullptr;
  if (!bid) {
    s.err << "tarvo-cli: BiAdjust takes mode 0 (MS1), 1 (MS2), 2 (VSD) or 3 (ECN), not \""
          << args[0] << "\"\n";
    return kExitUsage;
  }
  if (!EnsureWorkingBlock(s)) return kExitFailed;
  Outcome result = catalogue::BiAdjust(s.ctx, s.link, s.station, mode);
  s.out << "BiAdjust: " << result.ResultCode() << " (" << bid->caption << " "
        << int{static_cast<int8_t>(s.station.working_block[bid->field_offset])} << ")"
        << FailureNoteFor(result) << "\n";
  return ExitStatus(result);
}

int LoadBlocksCommand(Session& s, std::span<const std::string> args) {
  std::ifstream file(args[0], std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
  if (!file.is_open() || bytes.size() != kBlocksFileSize) {
    s.err << "tarvo-cli: " << args[0] << " is not a blocks file (" << kBlocksFileSize
          << " bytes: head data block, chart label record)\n";
    return kExitFailed;
  }
  std::copy_n(bytes.begin(), kHeadBlockSize, s.station.working_block.begin());
  ChartLabelBytes label{};
  std::copy_n(bytes.begin() + kHeadBlockSize, kChartLabelSize, label.begin());
  s.station.chart_label = ChartLabel::Decode(label);
  s.out << "LoadBlocks: " << args[0] << "\n";
  return kExitOk;
}

int SaveBlocksCommand(Session& s, std::span<const std::string> args) {
  std::vector<uint8_t> bytes(s.station.working_block.begin(), s.station.working_block.end());
  const ChartLabelBytes label = s.station.chart_label.Encode();
  bytes.insert(bytes.end(), label.begin(), label.end());
  if (!WriteFileAtomically(args[0], bytes)) {
    s.err << "tarvo-cli: cannot write " << args[0] << "\n";
    return kExitFailed;
  }
  s.out << "SaveBlocks: " << args[0] << "\n";
  return kExitOk;
}

const bool registered =
    RegisterCommand(LinkCommand("NozzleClean", "MODE",
                                "clean the nozzles: mode 1 CL1, 2 CL2, 3 CL1D (library also 4)", 1,
                                NozzleCleanCommand)) &&
    RegisterCommand(LinkCommand("Lubrication", "", "grease the carriage and paper feed", 0,
                                LubricationCommand)) &&
    RegisterCommand(LinkCommand("InkCharge", "", "fill the head with ink (about two minutes)", 0,
                                InkChargeCommand)) &&
    RegisterCommand(LinkCommand("InkDisCharge", "FLAG",
                                "drain the ink with the jig; FLAG 1 stores the shipping data; then "
                                "switch off",
                                1, InkDisChargeCommand)) &&
    RegisterCommand(LinkCommand("InkDisChargeNoPowerOff", "FLAG",
                                "drain the ink with the jig; FLAG 1 stores the shipping data", 1,
                                InkDisChargeNoPowerOffCommand)) &&
    RegisterCommand(LinkCommand("TOF", "", "adjust the top of form against chart 6 and store it", 0,
                                TofCommand)) &&
    RegisterCommand(
        LinkCommand("BiAdjust", "MODE",
                    "adjust the Bi-d offset of mode 0 MS1, 1 MS2, 2 VSD, 3 ECN and store it", 1,
                    BiAdjustCommand)) &&
    RegisterCommand({.name = "LoadBlocks",
                     .usage = "FILE",
                     .help = "load the working block and chart label record from a blocks file",
                     .min_args = 1,
                     .max_args = 1,
                     .needs_link = false,
                     .run = LoadBlocksCommand}) &&
    RegisterCommand({.name = "SaveBlocks",
                     .usage = "FILE",
                     .help = "save the working block and chart label record to a blocks file",
                     .min_args = 1,
                     .max_args = 1,
                     .needs_link = false,
                     .run = SaveBlocksCommand});

}  // namespace
}  // namespace tarvo::cli
