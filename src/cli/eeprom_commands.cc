// Commands of the maintenance protocol and the EEPROM: ReadData, ReadFWVersion,
// ReadTemperatureBegin, ReadRamFWPtr, PowerOff, SetHeadID, SetInkSystemValue, rom, settings.
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "cli/command.h"
#include "cli/field_text.h"
#ifdef TARVO_HAVE_RECORDS
#include "cli/records_setting.h"
#endif
#include "cli/session.h"
#include "model/printer_text.h"
#include "model/rom_layout.h"
#include "operations/catalogue.h"
#include "operations/printer_options.h"

namespace tarvo::cli {
namespace {

int ReadDataCommand(Session& s, std::span<const std::string>) {
  Outcome read = catalogue::ReadData(s.ctx, s.link, s.station);
  s.out << "ReadData: " << read.achieved() << FailureNoteFor(read) << "\n";
  if (read.achieved()) PrintFields(s.out, s.station.read_block);
  return ExitStatus(read);
}

int ReadFWVersionCommand(Session& s, std::span<const std::string>) {
  std::string version;
  Outcome read = catalogue::ReadFWVersion(s.ctx, s.link, s.station, version);
  s.out << "ReadFWVersion: " << (read.achieved() ? "1 " + Quoted(version) : "0")
        << FailureNoteFor(read) << "\n";
  return ExitStatus(read);
}

int ReadTemperatureBeginCommand(Session& s, std::span<const std::string>) {
  int temperature = -1;
  Outcome read = catalogue::ReadTemperatureBegin(s.ctx, s.link, s.station, temperature);
  s.out << "ReadTemperatureBegin: " << temperature << FailureNoteFor(read) << "\n";
  return ExitStatus(read);
}

int ReadRamFWPtrCommand(Session& s, std::span<const std::string>) {
  uint32_t value = 0;
  Outcome read = catalogue::ReadRamFWPtr(s.ctx, s.link, s.station, value);
  if (!read.achieved()) {
    s.out << "ReadRamFWPtr: 0" << FailureNoteFor(read) << "\n";
    return ExitStatus(read);
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(value));
  s.out << "ReadRamFWPtr: 1 " << hex << FailureNoteFor(read) << "\n";
  return ExitStatus(read);
}

int PowerOffCommand(Session& s, std::span<const std::string> args) {
  const std::optional<int64_t> flag = ParseInt<int64_t>(args[0]);
  if (!flag || *flag < 0 || *flag > 1) {
    s.err << "tarvo-cli: PowerOff takes 0 (shipment data not set) or 1 (set), not \"" << args[0]
          << "\"\n";
    return kExitUsage;
  }
  Outcome sent = catalogue::PowerOff(s.ctx, s.link, s.station, static_cast<uint8_t>(*flag));
  s.out << "PowerOff: " << sent.ok() << FailureNoteFor(sent) << "\n";
  return ExitStatus(sent);
}

int SetHeadIDCommand(Session& s, std::span<const std::string>) {
  const Outcome result = catalogue::SetHeadID(s.ctx, s.link, s.station);
  s.out << "SetHeadID: " << result.ResultCode() << FailureNoteFor(result) << "\n";
  return ExitStatus(result);
}

int SetInkSystemValueCommand(Session& s, std::span<const std::string>) {
  Outcome written = catalogue::SetInkSystemValue(s.ctx, s.link, s.station);
  s.out << "SetInkSystemValue: " << written.achieved() << FailureNoteFor(written) << "\n";
  return ExitStatus(written);
}

int RomCommand(Session& s, std::span<const std::string>) {
  RomImage image{};
  Outcome read = catalogue::ReadRomImage(s.ctx, s.link, s.station, image);
  s.out << "ReadRomImage: " << read.achieved() << FailureNoteFor(read) << "\n";
  if (read.achieved()) PrintFields(s.out, image);
  return ExitStatus(read);
}

void PrintSettings(std::ostream& out, const OffsetSettings& offsets, const InkSettings& ink) {
  for (const PrinterOption& o : PrinterOptions()) {
    out << o.name << "=" << (o.offset ? int64_t{offsets.*o.offset} : int64_t{ink.*o.ink}) << "\n";
  }
}

// Sets a printer option setting from NAME=VALUE: kExitOk, or kExitUsage with the complaint on
// `err` when the word is no such assignment.
int ApplySetting(std::ostream& err, const std::string& arg, OffsetSettings& offsets,
                 InkSettings& ink, bool& offsets_changed, bool& ink_changed) {
  const size_t eq = arg.find('=');
  const std::optional<int64_t> parsed =
      eq == std::string::npos ? std::nullopt
                              : ParseInt<int64_t>(std::string_view(arg).substr(eq + 1));
  if (!parsed) {
    err << "tarvo-cli: settings takes NAME=VALUE with an integer value, not \"" << arg << "\"\n";
    return kExitUsage;
  }
  const int64_t value = *parsed;
  const std::string name = arg.substr(0, eq);
  const PrinterOption* option = FindPrinterOption(name);
  int32_t* offset_field = option && option->offset ? &(offsets.*option->offset) : nullptr;
  uint8_t* ink_field = option && option->ink ? &(ink.*option->ink) : nullptr;
  if (offset_field) {
    if (value < INT32_MIN || value > INT32_MAX) {
      err << "tarvo-cli: " << name << " must fit in 32 bits\n";
      return kExitUsage;
    }
    *offset_field = static_cast<int32_t>(value);
    offsets_changed = true;
  } else if (ink_field) {
    if (value < 0 || value > 255) {
      err << "tarvo-cli: Please enter an integer between 0 and 255. (" << name << ")\n";
      return kExitUsage;
    }
    *ink_field = static_cast<uint8_t>(value);
    ink_changed = true;
  } else {
    err << "tarvo-cli: no printer option setting named \"" << name << "\"\n";
    return kExitUsage;
  }
  return kExitOk;
}

int SettingsCommand(Session& s, std::span<const std::string> all_args) {
  // The text setting of the records beside the printer option settings.
  std::vector<std::string> args;
  std::vector<std::string> text_args;
  for (const std::string& arg : all_args) {
#ifdef TARVO_HAVE_RECORDS
    if (IsRecordsSetting(arg)) {
      text_args.push_back(arg);
      continue;
    }
#endif
    args.push_back(arg);
  }
  // Every word is checked before anything is stored.
  {
    OffsetSettings offsets;
    InkSettings ink;
    bool offsets_changed = false, ink_changed = false;
    for (const std::string& arg : args) {
      int status = ApplySetting(s.err, arg, offsets, ink, offsets_changed, ink_changed);
      if (status != kExitOk) return status;
    }
#ifdef TARVO_HAVE_RECORDS
    for (const std::string& arg : text_args) {
      if (int status = CheckRecordsSetting(s.err, arg); status != kExitOk) return status;
    }
#endif
  }
  OffsetSettings offsets;
  InkSettings ink;
  if (!all_args.empty()) {
    // Read, changed and stored as one: another writer's change in between is not lost, and a kill
    // leaves the old values or the new ones, never a mix. Each editor stores its whole group.
    bool stored = s.ctx.settings.Update([&](SettingsStore& store) {
      offsets = ReadOffsetSettings(store);
      ink = ReadInkSettings(store);
      bool offsets_changed = false, ink_changed = false;
      for (const std::string& arg : args) {
        ApplySetting(s.err, arg, offsets, ink, offsets_changed, ink_changed);
      }
      if (offsets_changed) WriteOffsetSettings(store, offsets);
      if (ink_changed) WriteInkSettings(store, ink);
#ifdef TARVO_HAVE_RECORDS
      for (const std::string& arg : text_args) StoreRecordsSetting(store, arg);
#endif
    });
    if (!stored) {
      s.err << "tarvo-cli: settings: nothing was stored\n";
      return kExitFailed;
    }
  }
  PrintSettings(s.out, ReadOffsetSettings(s.ctx.settings), ReadInkSettings(s.ctx.settings));
#ifdef TARVO_HAVE_RECORDS
  PrintRecordsSetting(s.out, s.ctx.settings);
#endif
  return kExitOk;
}

const bool registered =
    RegisterCommand(LinkCommand("ReadData", "read the head data block (41 bytes) and show it",
                                ReadDataCommand)) &&
    RegisterCommand(
        LinkCommand("ReadFWVersion", "the running firmware's version", ReadFWVersionCommand)) &&
    RegisterCommand(
        LinkCommand("ReadTemperatureBegin", "the head temperature", ReadTemperatureBeginCommand)) &&
    RegisterCommand(LinkCommand("ReadRamFWPtr", "the firmware version as a 32-bit value",
                                ReadRamFWPtrCommand)) &&
    RegisterCommand(LinkCommand("PowerOff", "FLAG",
                                "switch the printer off; FLAG 1 stores the shipment data, 0 not", 1,
                                PowerOffCommand)) &&
    RegisterCommand(LinkCommand("SetHeadID",
                                "ask for a head ID and store it with the time stamp and the "
                                "initial offsets",
                                SetHeadIDCommand)) &&
    RegisterCommand(LinkCommand("SetInkSystemValue",
                                "write the unplugA and tclCond settings into the printer",
                                SetInkSystemValueCommand)) &&
    RegisterCommand(
        LinkCommand("rom", "read the ROM data image and show every field", RomCommand)) &&
    RegisterCommand({.name = "settings",
                     .usage = "[NAME=VALUE ...]",
                     .help = "show the printer option settings, or set them; RecordsUrl=URL "
                             "sets the line database (shown without its password)",
                     .min_args = 0,
                     .max_args = 11,
                     .run = SettingsCommand});

}  // namespace
}  // namespace tarvo::cli
