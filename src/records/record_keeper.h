#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
  // Send from a thread of the keeper's own (the front ends): Record() then only writes the
  // records file, and a server that is slow or does not answer delays no step.
  bool background = false;
  // Background only: at the keeper's end, how long (real time) it lets the sender finish what it
  // sends; whatever is left waits in the file for the next run. No new attempt is made at the
  // end when the last one failed.
  int64_t shutdown_ms = 2000;
  // The limits of one connection attempt and one statement on the line database (real time).
  int connect_ms = 3000;
  int statement_ms = 20000;
};

// The record sink of the front ends: every record goes into the machine's records file first,
// in a transaction of its own, durable before Record() returns; with a line database,
// everything that waits in the file is then sent there: on the caller's thread, or, with
// KeeperOptions::background, by the keeper's sender thread over a connection of its own to the
// file, so that the caller only ever waits for the file. When the line database cannot be reached,
// records wait in the file and go with the first record after the retry time, or with Push(); the
// caller never waits for the database beyond one short connection attempt, and is never failed. A
// record the line database refuses for its content is set aside in the file with the server's
// reason, told once, and the rest goes on; Push(retry) offers the set-aside ones again.
//
// The file is opened at the first record, so a run that records nothing leaves no file behind.
// It is checked when it is opened: a damaged file is told once, with what to do, and left as it
// is; records then go to a fresh file beside it (FreshPath), and the commands that read the
// records get no file (Readable) until it has been dealt with.
class RecordKeeper : public RecordSink {
 public:
  RecordKeeper(KeeperOptions options, Clock& clock);
  ~RecordKeeper() override;
  RecordKeeper(const RecordKeeper&) = delete;
  RecordKeeper& operator=(const RecordKeeper&) = delete;

  void Record(const StepRecord& step) override;
  void Record(const DotWeightRecord& measurement) override;
  void Record(const JournalEntry& entry) override;

  // Sends what waits to the line database now; with `retry`, the set-aside records too. False
  // with *error set (never the connection string) when there is no line database or it cannot
  // take them. Records it refuses are set aside (LocalStore::SetAsideRecords) and do not fail it.
  bool Push(std::string* error, int64_t* sent = nullptr, bool retry = false);

  // Background only: waits (real time) until the sender has no send pass running nor asked
  // for; what it told meanwhile is told. For the ends of tests and tools; a front end never
  // waits for the line database.
  void WaitForSender();

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
  using WarnFn = std::function<void(const std::string&)>;
  template <typename R>
  void Keep(const R& record);
  void SendIfDue();
  // One pass: everything that waits in `store` to `line`. Refused records are told to `warn`.
  bool SendAll(LocalStore* store, LineDatabase& line, const WarnFn& warn, std::string* error,
               int64_t* sent);
  // After a pass of the caller's or the sender's: the notes of a line that went down or came
  // back, to `warn`. Under mutex_ in background.
  void Passed(bool ok, bool cancelled, const std::string& problem, int64_t sent, int64_t asked_at,
              const WarnFn& warn);
  std::string ProblemText(LineProblem problem, const std::string& error) const;
  void Warn(const std::string& text);
  bool OpenFile(const std::string& path);
  void SenderLoop();
  void StopSender();
  // Tells, on the caller's thread, what the sender found.
  void TellFromSender();

  KeeperOptions options_;
  Clock& clock_;
  LocalStore local_;
  bool local_failed_ = false;
  std::string damage_;
  std::unique_ptr<LineDatabase> line_;
  bool line_down_ = false;  // warned, waiting to retry (under mutex_ in background)
  int64_t retry_at_ = 0;

  // The sender (background only). Everything below but sender_ and the pipe is under mutex_;
  // the clock is read on the caller's thread alone.
  std::mutex mutex_;
  std::condition_variable wake_;  // to the sender: a pass is asked for, or the end
  std::condition_variable idle_;  // from the sender: a pass ended
  std::string send_path_;         // the file the caller writes into: the sender's to read
  bool pass_asked_ = false;
  int64_t asked_at_ = 0;  // the caller's clock when the pass was asked for
  bool passing_ = false;
  bool stopping_ = false;
  bool sender_done_ = false;
  std::vector<std::string> told_;  // the sender's notes, to be told on the caller's thread
  std::mutex pass_mutex_;          // one send pass at a time: the sender's, or Push's
  int cancel_pipe_[2] = {-1, -1};  // written at the end to cut the sender's wait short
  std::thread sender_;
};

}  // namespace tarvo::records
