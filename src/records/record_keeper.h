#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/record_sink.h"
#include "records/line_database.h"
#include "records/local_store.h"

namespace tarvo::records {

struct KeeperOptions {
  std::string local_path;  // the machine's records file
  std::string line_url;    // the line database's connection string; empty: none
  Origin origin;
  // Told once when records cannot be kept or cannot reach the line database, and once when the
  // line database takes them again. Never holds the connection string.
  std::function<void(const std::string&)> warn;
  // After the line database could not be reached, how long records only go to the local file
  // before the next attempt (on `clock`).
  int64_t retry_ms = 60'000;
};

// The record sink of the front ends: every record goes into the machine's records file first,
// in a transaction of its own; with a line database, everything that waits in the file is then
// sent there. When the line database cannot be reached, records wait in the file and go with
// the first record after the retry time, or with Push(); the caller never waits for the
// database beyond one short connection attempt, and is never failed. A record the line database
// refuses for its content is set aside in the file with the server's reason, told once, and the
// rest goes on; Push(retry) offers the set-aside ones again.
//
// The file is opened at the first record, so a run that records nothing leaves no file behind.
// It is checked when it is opened: a damaged file is told once, with what to do, and left as it
// is; records then go to a fresh file beside it (FreshPath), and the commands that read the
// records get no file (Readable) until it has been dealt with.
class RecordKeeper : public RecordSink {
 public:
  RecordKeeper(KeeperOptions options, Clock& clock);

  void Record(const StepRecord& step) override;
  void Record(const DotWeightRecord& measurement) override;
  void Record(const JournalEntry& entry) override;

  // Sends what waits to the line database now; with `retry`, the set-aside records too. False
  // with *error set (never the connection string) when there is no line database or it cannot
  // take them. Records it refuses are set aside (LocalStore::SetAsideRecords) and do not fail it.
  bool Push(std::string* error, int64_t* sent = nullptr, bool retry = false);

  // The administrator's setup of the line database (LineDatabase::Setup) through the connection
  // string of the keeper. False with *error set.
  bool SetupLineDatabase(std::string* error);

  // The file records go into, opened when needed: the machine's records file, or the fresh one
  // beside it when that is damaged; nullptr (and a warning) when neither can be used.
  LocalStore* Local();
  // The machine's records file for reading; nullptr (and a warning) when it cannot be opened or
  // is damaged.
  LocalStore* Readable();
  // What SQLite found wrong with the machine's records file; empty while none was found.
  const std::string& damage() const { return damage_; }
  bool has_line() const { return line_ != nullptr; }

  // Where records go while the records file `path` is damaged: "records.fresh.sqlite" beside
  // "records.sqlite".
  static std::string FreshPath(const std::string& path);

 private:
  template <typename R>
  void Keep(const R& record);
  void SendIfDue();
  bool SendAll(std::string* error, int64_t* sent);
  std::string ProblemText(const std::string& error) const;
  void Warn(const std::string& text);
  bool OpenFile(const std::string& path);

  KeeperOptions options_;
  Clock& clock_;
  LocalStore local_;
  bool local_failed_ = false;
  std::string damage_;
  std::unique_ptr<LineDatabase> line_;
  bool line_down_ = false;  // warned, waiting to retry
  int64_t retry_at_ = 0;
};

}  // namespace tarvo::records
