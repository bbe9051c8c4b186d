#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::records {

// Rows as flat JSON objects whose keys are the same whichever database answers; ordered, so a
// row's keys keep the order a table shows them in.
using Row = nlohmann::ordered_json;
using Rows = std::vector<Row>;

// Which records a question is about. Times are the stations' local times as recorded
// ("2026-12-08" or "2026-12-08T11:00:00"); `to` is exclusive; empty: no bound.
struct LineFilter {
  std::string from;
  std::string to;
  int station = 0;  // 1 or 2; 0: both
};

// A printer as the records name it: by its USB serial number and its head ID (one of them may be
// empty: the grease of a fresh printer names neither).
struct PrinterKey {
  std::string usb_serial;
  std::string head_id;
};

// Read-only questions to the line's records, answered by the line database or by one machine's
// records file alike. Every step row has the keys
//   uid host station station_no belt_name pc_name jig_no position text started ended started_utc
//   ended_utc total model_code usb_serial head_id machine_no machine_id tof ms1 ms2 vsd ecn
// (`slots`: [{"slot","name","result"}] where asked for); a station's identity that older records
// lack is empty. A reader is used by one thread at a time. Nothing it does changes the records.
class LineReader {
 public:
  virtual ~LineReader() = default;

  // Whether the last question was answered; error() tells why not.
  virtual bool ok() const = 0;
  virtual const std::string& error() const = 0;

  // The last step of each station of the line (host and station), newest first.
  virtual Rows LastSteps() = 0;
  // The steps in the filter's range, oldest first, without their slots.
  virtual Rows Steps(const LineFilter& filter) = 0;
  // The steps in the range that left a slot failed, oldest first, with their slots.
  virtual Rows FailedSteps(const LineFilter& filter) = 0;
  // The yield's counts of the steps in the range, by hour (`started`: "2026-12-08T09"), host,
  // station and printer (`printer`: head ID, else USB serial number; a step naming neither counts
  // for the one the same station of the same host names next, else ''): `steps`, `failed_steps`
  // and the `total` of the last; ordered by hour.
  virtual Rows YieldCounts(const LineFilter& filter) = 0;
  // Each printer's last step in the range (started station usb_serial head_id tof ms1 ms2 vsd
  // ecn), ordered by each printer's first step there; steps naming no printer left out.
  virtual Rows LastAdjustments(const LineFilter& filter) = 0;
  // Dot-weight measurements in the range (`station` unused), oldest first: uid host time
  // time_utc kind weights average low high passed model_code usb_serial head_id.
  virtual Rows DotWeights(const LineFilter& filter) = 0;

  // The printers whose USB serial number, head ID or Machine ID is `text`: usb_serial head_id
  // machine_id last_seen, most recently seen first.
  virtual Rows FindPrinters(const std::string& text) = 0;
  // A printer's steps (with slots), journal entries and dot weights, oldest first. Journal rows:
  // uid host operation time time_utc model_code usb_serial head_id area check before written
  // read_back (the bytes as hex).
  virtual Rows PrinterSteps(const PrinterKey& printer) = 0;
  virtual Rows PrinterJournal(const PrinterKey& printer) = 0;
  virtual Rows PrinterDotWeights(const PrinterKey& printer) = 0;

  // Changes whenever a record arrives: what a poll compares.
  virtual std::string ChangeMark() = 0;
};

// The line database, as the read-only role; nullptr with `error` set (the connection string and
// its password blanked) when it cannot be reached.
std::unique_ptr<LineReader> OpenLineDatabaseReader(const std::string& conninfo, std::string* error);
// One machine's records file, opened read-only; nullptr with `error` set.
std::unique_ptr<LineReader> OpenRecordsFileReader(const std::string& path, std::string* error);

// Waits for the line database to tell of new records (LISTEN on the channel the setup's trigger
// notifies). One connection of its own.
class LineListener {
 public:
  explicit LineListener(std::string conninfo);
  ~LineListener();
  LineListener(const LineListener&) = delete;
  LineListener& operator=(const LineListener&) = delete;

  // Connects and listens; false with error() set.
  bool Listen();
  // Waits up to `timeout_ms` for notifications: the tables that got records (empty when none
  // came), or nothing when the connection was lost (error() tells; Listen again).
  std::optional<std::vector<std::string>> Wait(int timeout_ms);
  const std::string& error() const { return error_; }

 private:
  std::string conninfo_;
  struct pg_conn* conn_ = nullptr;
  std::string error_;
};

// The channel the line database notifies on when records arrive; the payload is the table.
inline constexpr const char* kRecordsChannel = "tarvo_records";

}  // namespace tarvo::records
