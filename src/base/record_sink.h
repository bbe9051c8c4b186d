#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The line's records: what each station step did to which printer, each dot-weight measurement,
// and a journal of every EEPROM write with the content before and after it. Plain values; the
// sinks that keep them (a local database, a line database) live outside the device layer.

// Who the printer is, as read from its EEPROM: the customer setting code (ModelName), the USB
// serial number and the head ID. Each field as printer text (UTF-8, one character per byte, up to
// the first zero byte, without an erased tail of 0xFF bytes: empty for a field never written), so
// a record is text whatever the EEPROM holds; and the field's bytes as stored, in hex, so nothing
// of them is lost.
struct PrinterIdentity {
  std::string model_code;
  std::string usb_serial;
  std::string head_id;
  std::string model_code_hex = {};
  std::string usb_serial_hex = {};
  std::string head_id_hex = {};

  bool empty() const { return model_code.empty() && usb_serial.empty() && head_id.empty(); }
  bool operator==(const PrinterIdentity&) const = default;
};

// One result slot a step set, with its result byte: 1 pass, 0 fail, 2 not run.
struct SlotResult {
  int slot = 0;
  std::string name;  // the slot's label, "Nozzle Check"
  int result = 2;
  bool operator==(const SlotResult&) const = default;
};

// The adjustment values the printer's head data block holds after the step (signed bytes as
// stored; TOF not yet multiplied by 25).
struct AdjustmentValues {
  int tof = 0;
  int ms1 = 0;
  int ms2 = 0;
  int vsd = 0;
  int ecn = 0;
  bool operator==(const AdjustmentValues&) const = default;
};

// The station folder's settings the step ran with.
struct StationSettingsRecord {
  std::string destination;  // the destination table row, "001"
  std::string belt;
  std::string pc;
  std::string jig;  // Jig No. or "CT"
  bool operator==(const StationSettingsRecord&) const = default;
};

// The station a record was made at: its number and the station folder's Belt Name, PC Name and
// Jig No. (or "CT") as its settings files hold them. All empty (number 0) for a record made
// outside a station run, as on a service bench.
struct StationIdentity {
  int station_no = 0;  // 1 or 2; 0: no station
  std::string belt_name;
  std::string pc_name;
  std::string jig_no;
  bool operator==(const StationIdentity&) const = default;
};

// One station step as run.
struct StepRecord {
  int station = 0;      // 1 or 2
  int position = 0;     // list position
  std::string text;     // list text, " 2. Input Head ID"
  std::string started;  // local time, "2026-12-08T11:31:18"
  std::string ended;
  std::string started_utc = {};  // the same in UTC, "2026-12-08T10:31:18Z"
  std::string ended_utc = {};
  std::vector<SlotResult> slot_results;  // the slots the step set
  int total = 2;                         // the total after it: 1 pass, 0 fail, 2 not finished
  PrinterIdentity printer;
  AdjustmentValues adjustments;
  StationSettingsRecord settings;
  // The chart label record's Machine No. and Machine ID as the step left them (printer text up
  // to the first zero byte).
  std::string machine_no = {};
  std::string machine_id = {};
};

// One dot-weight measurement.
struct DotWeightRecord {
  std::string kind;
  std::vector<double> weights;
  double average = 0;
  double low = 0;  // the limits the average was held against
  double high = 0;
  bool passed = false;
  std::string time;
  PrinterIdentity printer;
  std::string time_utc = {};
};

enum class EepromArea { kHeadBlock, kRomImage };
// What the read-back after a write showed.
enum class WriteCheck { kVerified, kMismatch, kNotChecked };

std::string_view AreaName(EepromArea area);    // "head block", "rom image"
std::string_view CheckName(WriteCheck check);  // "verified", "mismatch", "not checked"

// One write of the head data block (41 bytes) or of the ROM data image (128 bytes).
struct JournalEntry {
  std::string operation;  // the operation that wrote, "SetHeadID"
  std::string time;
  PrinterIdentity printer;
  EepromArea area = EepromArea::kRomImage;
  // What the operation had read of the area before writing; empty when it read nothing of it.
  std::vector<uint8_t> before;
  std::vector<uint8_t> written;
  std::vector<uint8_t> read_back;  // empty when not read back
  WriteCheck check = WriteCheck::kNotChecked;
  std::string time_utc = {};
};

// "2026-12-08T11:31:18".
std::string IsoTime(const std::tm& t);
// The local time `local` in UTC, with its zone: "2026-12-08T10:31:18Z" (by the time zone of the
// process, as the clocks' local time is made).
std::string UtcIsoTime(const std::tm& local);

// Where the records go; called on the device thread only. Sinks never fail the caller: a record
// that cannot be kept is the sink's problem to report, once, and a step or write goes on
// regardless.
//
// Beside the port, a sink carries what the device layer tells it along the way, kept here once
// for every sink: the name of the operation that runs (set by the front ends) and what the
// printer's EEPROM was last seen to hold, so that a write can be journalled with the content it
// replaces without reading the printer again.
class RecordSink {
 public:
  virtual ~RecordSink() = default;

  virtual void Record(const StepRecord& step) = 0;
  virtual void Record(const DotWeightRecord& measurement) = 0;
  virtual void Record(const JournalEntry& entry) = 0;

  // An operation starts: its name goes into the journal entries of its writes, and what earlier
  // operations saw of the EEPROM is forgotten (each operation reads afresh before it writes).
  void BeginOperation(std::string_view name);
  const std::string& operation() const { return operation_; }

  // What the EEPROM was seen to hold, byte by byte, since the operation began.
  struct Seen {
    std::array<uint8_t, 128> bytes{};
    std::array<bool, 128> known{};
  };
  Seen& seen() { return seen_; }

  // The printer last identified by an EEPROM read; kept across operations until forgotten (a
  // new step, a new printer).
  const PrinterIdentity& last_printer() const { return last_printer_; }
  void SetLastPrinter(PrinterIdentity printer) { last_printer_ = std::move(printer); }
  void ForgetPrinter() { last_printer_ = {}; }

  // The station whose run makes the records from now on (set by the step runner for the time of
  // a step; empty otherwise).
  const StationIdentity& station() const { return station_; }
  void SetStation(StationIdentity station) { station_ = std::move(station); }

 private:
  std::string operation_;
  StationIdentity station_;
  Seen seen_;
  PrinterIdentity last_printer_;
};

// Keeps nothing: the default of every context.
class NullRecordSink : public RecordSink {
 public:
  void Record(const StepRecord&) override {}
  void Record(const DotWeightRecord&) override {}
  void Record(const JournalEntry&) override {}
};

// Keeps every record in memory, in order: the fake of tests.
class MemoryRecordSink : public RecordSink {
 public:
  void Record(const StepRecord& step) override { steps.push_back(step); }
  void Record(const DotWeightRecord& m) override { dot_weights.push_back(m); }
  void Record(const JournalEntry& entry) override { journal.push_back(entry); }

  std::vector<StepRecord> steps;
  std::vector<DotWeightRecord> dot_weights;
  std::vector<JournalEntry> journal;
};

}  // namespace tarvo
