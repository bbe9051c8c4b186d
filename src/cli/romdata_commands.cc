// Commands of the ROM data services: DumpData, SetInitialValue, DumpTransferROMData, LoadFile,
// SaveFile, ResetAll, SetCharge, ReadFW, SetInitialStuff, SetDLLVersion, UpdateFW,
// UpdateShippingFW, Transferflag, ReadFatalErrorCode, SetFTFlag, MotorMoveTest, MotorAction,
// PowerOffTest.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/session.h"
#include "model/printer_text.h"
#include "model/rom_summary.h"
#include "operations/catalogue.h"
#include "operations/library_version.h"

namespace tarvo::cli {
namespace {

// Bytes of the record as text, a zero byte ending it: printable ones as their Latin-1
// characters, control bytes as '?'.
std::string Chars(const RomSummary& r, size_t at, size_t n) {
  std::string text;
  for (size_t i = at; i < at + n && r[i] != 0; ++i) {
    const bool printable = (r[i] >= 0x20 && r[i] < 0x7F) || r[i] >= 0xA0;
    text += printable ? DecodePrinterText(std::span(&r[i], 1)) : std::string("?");
  }
  return text;
}

// What DumpData and SetInitialValue did, in the words of this tool.
const char* DumpText(const Outcome& outcome, bool written) {
  if (outcome.kind == OutcomeKind::kCancelled) return "cancelled";
  if (written) return outcome.achieved() ? "written" : "write failed";
  return outcome.achieved() ? "unchanged, nothing written" : "read failed";
}

int ReportDump(Session& s, std::string_view name, const Outcome& outcome, bool written) {
  // Leaving the dialog without OK is the operator's choice, not a failure.
  const int status = ExitStatus(outcome, /*cancel_ok=*/true);
  s.out << name << ": " << DumpText(outcome, written) << FailureNoteFor(outcome, /*cancel_ok=*/true)
        << "\n";
  return status;
}

int Report(Session& s, std::string_view name, const Outcome& outcome) {
  s.out << name << ": " << (outcome.achieved() ? 1 : 0) << FailureNoteFor(outcome) << "\n";
  return ExitStatus(outcome);
}

int DumpDataCommand(Session& s, std::span<const std::string> args) {
  std::optional<int> mode = args.empty() ? 0 : ParseInt(args[0]);
  if (!mode) {
    s.err << "tarvo-cli: DumpData takes a mode (1: apply the initial values first), not \""
          << args[0] << "\"\n";
    return kExitUsage;
  }
  bool written = false;
  Outcome dumped = catalogue::DumpData(s.ctx, s.link, s.station, *mode, &written);
  return ReportDump(s, "DumpData", dumped, written);
}

int SetInitialValueCommand(Session& s, std::span<const std::string>) {
  bool written = false;
  Outcome set = catalogue::SetInitialValue(s.ctx, s.link, s.station, &written);
  return ReportDump(s, "SetInitialValue", set, written);
}

int DumpTransferROMDataCommand(Session& s, std::span<const std::string>) {
  RomSummary record{};
  Outcome read = catalogue::DumpTransferROMData(s.ctx, s.link, s.station, record);
  if (!read.achieved()) return Report(s, "DumpTransferROMData", read);
  s.out << "DumpTransferROMData: 1" << FailureNoteFor(read) << "\n"
        << "Customer Setting = \"" << Chars(record, summary::kModelName, 3) << "\"\n"
        << "USB ID = \"" << Chars(record, summary::kUsbSerialNo, 18) << "\"\n"
        << "Head ID = \"" << Chars(record, summary::kHeadId, 6) << "\"\n"
        << "Modal = \"" << Chars(record, summary::kModel, summary::kModelSize) << "\"\n"
        << "FW Ver. = \"" << Chars(record, summary::kFwVersion, 4) << "\"\n"
        << "TOF = " << SummaryInt(record, summary::kTof) << "\n"
        << "Left Margin = " << SummaryInt(record, summary::kLeftMargin) << "\n"
        << "MS1 = " << SummaryInt(record, summary::kMs1) << "\n"
        << "MS2 = " << SummaryInt(record, summary::kMs2) << "\n"
        << "VSD = " << SummaryInt(record, summary::kVsd) << "\n"
        << "ECN = " << SummaryInt(record, summary::kEcn) << "\n"
        << "Init Stuff = " << int{record[summary::kInitialStuffFlag]} << "\n"
        << "FT Flag = " << int{record[summary::kFtFlag]} << "\n";
  if (s.ctx.edition.reports_ink_system) {
    s.out << "Unplug Acmlt = " << int{record[summary::kUnplugAccumulation]} << "\n"
          << "TCL Condition = " << int{record[summary::kTclCondition]} << "\n";
  }
  return ExitStatus(read);
}

int LoadFileCommand(Session& s, std::span<const std::string>) {
  return Report(s, "LoadFile", catalogue::LoadFile(s.ctx, s.link, s.station));
}

int SaveFileCommand(Session& s, std::span<const std::string>) {
  return Report(s, "SaveFile", catalogue::SaveFile(s.ctx, s.link, s.station));
}

int ResetAllCommand(Session& s, std::span<const std::string>) {
  return Report(s, "ResetAll", catalogue::ResetAll(s.ctx, s.link, s.station));
}

int SetChargeCommand(Session& s, std::span<const std::string>) {
  return Report(s, "SetCharge", catalogue::SetCharge(s.ctx, s.link, s.station));
}

int ReadFWCommand(Session& s, std::span<const std::string>) {
  std::string version;
  Outcome read = catalogue::ReadFW(s.ctx, s.link, s.station, version);
  s.out << "ReadFW: " << (read.achieved() ? "1 \"" + version + "\"" : "0") << FailureNoteFor(read)
        << "\n";
  return ExitStatus(read);
}

int SetInitialStuffCommand(Session& s, std::span<const std::string>) {
  return Report(s, "SetInitialStuff", catalogue::SetInitialStuff(s.ctx, s.link, s.station));
}

int SetDLLVersionCommand(Session& s, std::span<const std::string> args) {
  SetDLLVersion(s.station.state, std::span(args[0].data(), args[0].size()));
  s.out << "SetDLLVersion: \"" << s.station.state.library_version << "\"\n";
  return kExitOk;
}

int UpdateFWCommand(Session& s, std::span<const std::string>) {
  return Report(s, "UpdateFW", catalogue::UpdateFW(s.ctx, s.link, s.station));
}

int UpdateShippingFWCommand(Session& s, std::span<const std::string> args) {
  std::optional<int> type = ParseInt(args[0]);
  if (!type) {
    s.err << "tarvo-cli: UpdateShippingFW takes a type (0, 1 or 2), not \"" << args[0] << "\"\n";
    return kExitUsage;
  }
  return Report(s, "UpdateShippingFW",
                catalogue::UpdateShippingFW(s.ctx, s.link, s.station, *type));
}

int TransferflagCommand(Session& s, std::span<const std::string>) {
  return Report(s, "Transferflag", catalogue::Transferflag(s.ctx, s.link, s.station));
}

int ReadFatalErrorCodeCommand(Session& s, std::span<const std::string>) {
  uint8_t code = 0;
  Outcome read = catalogue::ReadFatalErrorCode(s.ctx, s.link, s.station, code);
  s.out << "ReadFatalErrorCode: " << (read.achieved() ? "1 " + std::to_string(int{code}) : "0")
        << FailureNoteFor(read) << "\n";
  return ExitStatus(read);
}

int SetFTFlagCommand(Session& s, std::span<const std::string>) {
  return Report(s, "SetFTFlag", catalogue::SetFTFlag(s.ctx, s.link, s.station));
}

// The motor tests: a cancelled dialog sends nothing and is no failure; a failed command is.
int ReportMotorTest(Session& s, std::string_view name, const Outcome& outcome) {
  const char* text = outcome.ok()                              ? "sent"
                     : outcome.kind == OutcomeKind::kCancelled ? "cancelled"
                                                               : "failed";
  const int status = ExitStatus(outcome, /*cancel_ok=*/true);
  s.out << name << ": " << text << FailureNoteFor(outcome, /*cancel_ok=*/true) << "\n";
  return status;
}

int MotorMoveTestCommand(Session& s, std::span<const std::string>) {
  return ReportMotorTest(s, "MotorMoveTest", catalogue::MotorMoveTest(s.ctx, s.link, s.station));
}

int MotorActionCommand(Session& s, std::span<const std::string>) {
  return ReportMotorTest(s, "MotorAction", catalogue::MotorAction(s.ctx, s.link, s.station));
}

int PowerOffTestCommand(Session& s, std::span<const std::string>) {
  return ReportMotorTest(s, "PowerOffTest", catalogue::PowerOffTest(s.ctx, s.link, s.station));
}

const bool registered =
    RegisterCommand({.name = "DumpData",
                     .usage = "[MODE]",
                     .help = "show the ROM data image for editing; MODE 1 applies the initial "
                             "values first",
                     .min_args = 0,
                     .max_args = 1,
                     .needs_link = true,
                     .run = DumpDataCommand}) &&
    RegisterCommand(LinkCommand("SetInitialValue", "reset the line-adjustable ROM data fields",
                                SetInitialValueCommand)) &&
    RegisterCommand(LinkCommand("DumpTransferROMData", "read the ROM summary record and show it",
                                DumpTransferROMDataCommand)) &&
    RegisterCommand(
        LinkCommand("LoadFile", "write a ROM data file into the printer", LoadFileCommand)) &&
    RegisterCommand(
        LinkCommand("SaveFile", "save the ROM data image to a file", SaveFileCommand)) &&
    RegisterCommand(LinkCommand(
        "ResetAll", "clear the ROM data image but the charge flag and version", ResetAllCommand)) &&
    RegisterCommand(LinkCommand("SetCharge", "change the ink charge flag", SetChargeCommand)) &&
    RegisterCommand(LinkCommand("ReadFW", "show the firmware version", ReadFWCommand)) &&
    RegisterCommand(LinkCommand("SetInitialStuff", "set or clear the initial stuff flag",
                                SetInitialStuffCommand)) &&
    RegisterCommand({.name = "SetDLLVersion",
                     .usage = "TEXT",
                     .help = "set the library version text printed in chart headers (4 characters)",
                     .min_args = 1,
                     .max_args = 1,
                     .run = SetDLLVersionCommand}) &&
    RegisterCommand(
        LinkCommand("UpdateFW", "send a firmware image chosen by the operator", UpdateFWCommand)) &&
    RegisterCommand(
        LinkCommand("UpdateShippingFW", "TYPE",
                    "send the shipping image of TYPE (0 reset ROM, 1 shipping, 2 SPC test)", 1,
                    UpdateShippingFWCommand)) &&
    RegisterCommand(LinkCommand("Transferflag", "convert an 0071 ROM data file and write it",
                                TransferflagCommand)) &&
    RegisterCommand(LinkCommand("ReadFatalErrorCode", "show the fatal error code",
                                ReadFatalErrorCodeCommand)) &&
    RegisterCommand(LinkCommand("SetFTFlag", "set or clear the FT flag", SetFTFlagCommand)) &&
    RegisterCommand(
        LinkCommand("MotorMoveTest", "move the CR or PF motor by hand", MotorMoveTestCommand)) &&
    RegisterCommand(LinkCommand("MotorAction", "lock, unlock, hold or release the motors",
                                MotorActionCommand)) &&
    RegisterCommand(LinkCommand("PowerOffTest",
                                "switch the printer off with or without shipment data",
                                PowerOffTestCommand));

}  // namespace
}  // namespace tarvo::cli
