#pragma once

#include <cstdint>
#include <string_view>

namespace tarvo {

enum class EditionKind { kProgram, kLibrary };

// A text the operator sees, in the program's words and in the library's. The library's texts are
// Traditional Chinese held as UTF-8.
struct EditionText {
  std::string_view program;
  std::string_view library;
};

// Time limits of reply reading, in milliseconds.
struct ReplyLimits {
  uint32_t read_wait_ms;     // one read inside ReadReply
  uint32_t status_pause_ms;  // pause after a status frame
  int64_t status_cap_ms;     // time spent skipping status frames, from the start of the call
};

// The read exchanges whose remote preamble (the "ST" remote command) the editions place
// differently, and the points of an exchange where it can go: before the command is written,
// between the command and the first reply, between the 8-byte answer and the data that follows.
enum class ReadExchange { kTemperature, kFwVersion, kHeadBlock, kRomImage, kMemory };
enum class ExchangeStage { kBeforeCommand, kAfterCommand, kAfterAnswer };

struct PreamblePlacement {
  bool before_command = false;
  bool after_command = false;
  bool after_answer = false;

  constexpr bool at(ExchangeStage stage) const {
    switch (stage) {
      case ExchangeStage::kBeforeCommand:
        return before_command;
      case ExchangeStage::kAfterCommand:
        return after_command;
      case ExchangeStage::kAfterAnswer:
        return after_answer;
    }
    return false;
  }
};

// Where each read exchange places the preamble.
struct PreamblePlan {
  PreamblePlacement temperature;
  PreamblePlacement fw_version;
  PreamblePlacement head_block;
  PreamblePlacement rom_image;
  PreamblePlacement memory;
};

// Which of the two deliverables the device layer serves. It is chosen once, when the device layer
// is built. Every difference between the desktop program and the station library is a field of
// it, given in the two tables below (kProgramEdition, kLibraryEdition); the code reads the field
// and branches on no edition of its own. Two kinds of difference are data elsewhere: the texts
// the operator sees (EditionText, where they are shown) and the steps of the motor sequences kept
// for one edition (marked in their tables, operations/maintenance_tables.cc).
struct Edition {
  static constexpr uint32_t kWriteWaitMs = 9'000'000;

  EditionKind kind;
  std::string_view name;  // how the line's records name the deliverable

  // The wire.
  ReplyLimits reply_limits;
  PreamblePlan preambles;

  // The ink system values (UnplugAccumulation, TclCondition). The program edits them among the
  // other fields: the EEPROM Data dialog has their "Unplug Acmlt" and "TCL Condition" boxes.
  // The library leaves them as read there, and reports them instead: in bytes 75-76 of the ROM
  // summary record (77 bytes rather than 75), and on every chart, read from the image before the
  // chart is printed, in the header's status and its TOP line ("TOP=+0 TCL=01/02" rather than
  // "TOP Adjust=+025").
  bool eeprom_dialog_edits_ink_system;
  bool reports_ink_system;

  // The chart header's version line names the printer's firmware, queried for each chart, and
  // the host's version text ("FW/FT=1C71/A080") rather than the program's version
  // ("Program:0077").
  bool header_names_firmware;

  // DumpData tells a failed image read itself ("Read ROM Data Error!!") rather than stopping
  // silently.
  bool dump_tells_read_failure;

  // SetInitialStuff proposes "1" in its dialog rather than showing the flag as stored.
  bool initial_stuff_proposes_set;

  // SetHeadID fills a copy of the host's block and hands it back once the head ID was entered,
  // rather than filling the station's working block in place.
  bool head_id_on_host_copy;
  // SetHeadID locks the carriage a second time at its end: J(0,0), M(0,0,0,0,0,3), J(1,0).
  bool head_id_locks_twice;

  // TOF and BiAdjust store the caller's working block with the new value, rather than the
  // EEPROM's block as read afresh with only the new value changed.
  bool adjustments_store_working_block;

  // A file the station folder should hold and that cannot be opened: the message names the folder
  // searched after its own text, rather than leaving the message as it is and writing the folder
  // to the notes (the library's host may match its messages).
  bool open_error_names_folder;

  // How many nozzle cleaning modes there are: 1 CL1, 2 CL2, 3 CL1D, and in the library 4.
  int cleaning_modes;

  // For the texts and the tables kept per edition; every other difference is a field above.
  bool is_program() const { return kind == EditionKind::kProgram; }
  bool is_library() const { return kind == EditionKind::kLibrary; }

  std::string_view Text(const EditionText& text) const {
    return is_program() ? text.program : text.library;
  }
  template <typename T>
  const T& Pick(const T& program, const T& library) const {
    return is_program() ? program : library;
  }

  constexpr PreamblePlacement preamble(ReadExchange exchange) const {
    switch (exchange) {
      case ReadExchange::kTemperature:
        return preambles.temperature;
      case ReadExchange::kFwVersion:
        return preambles.fw_version;
      case ReadExchange::kHeadBlock:
        return preambles.head_block;
      case ReadExchange::kRomImage:
        return preambles.rom_image;
      case ReadExchange::kMemory:
        return preambles.memory;
    }
    return {};
  }
};

namespace edition_detail {
inline constexpr PreamblePlacement kBeforeCommand{.before_command = true};
inline constexpr PreamblePlacement kAfterCommand{.after_command = true};
inline constexpr PreamblePlacement kAfterCommandAndAnswer{.after_command = true,
                                                          .after_answer = true};
}  // namespace edition_detail

// The desktop program: 10 s per read, 20 s of status frames at the most; the preamble before the
// command of each read but the image read.
inline constexpr Edition kProgramEdition{
    .kind = EditionKind::kProgram,
    .name = "program",
    .reply_limits = {.read_wait_ms = 10'000, .status_pause_ms = 500, .status_cap_ms = 20'000},
    .preambles = {.temperature = edition_detail::kBeforeCommand,
                  .fw_version = edition_detail::kBeforeCommand,
                  .head_block = edition_detail::kBeforeCommand,
                  .rom_image = {},
                  .memory = edition_detail::kBeforeCommand},
    .eeprom_dialog_edits_ink_system = true,
    .reports_ink_system = false,
    .header_names_firmware = false,
    .dump_tells_read_failure = false,
    .initial_stuff_proposes_set = true,
    .head_id_on_host_copy = false,
    .head_id_locks_twice = true,
    .adjustments_store_working_block = false,
    .open_error_names_folder = true,
    .cleaning_modes = 3,
};

// The station library: 180 s per read, 180,000 s of status frames; the preamble after the
// command, and again after the answer of a read that has one, but none with the temperature.
inline constexpr Edition kLibraryEdition{
    .kind = EditionKind::kLibrary,
    .name = "library",
    .reply_limits = {.read_wait_ms = 180'000, .status_pause_ms = 500, .status_cap_ms = 180'000'000},
    .preambles = {.temperature = {},
                  .fw_version = edition_detail::kAfterCommand,
                  .head_block = edition_detail::kAfterCommand,
                  .rom_image = edition_detail::kAfterCommandAndAnswer,
                  .memory = edition_detail::kAfterCommandAndAnswer},
    .eeprom_dialog_edits_ink_system = false,
    .reports_ink_system = true,
    .header_names_firmware = true,
    .dump_tells_read_failure = true,
    .initial_stuff_proposes_set = false,
    .head_id_on_host_copy = true,
    .head_id_locks_twice = false,
    .adjustments_store_working_block = true,
    .open_error_names_folder = false,
    .cleaning_modes = 4,
};

}  // namespace tarvo
