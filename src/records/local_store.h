#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/record_sink.h"
#include "records/sqlite_db.h"

namespace tarvo::records {

// Where a record was made: the station's host name, the tool's version and edition, and the
// station whose run made it (empty outside a station run).
struct Origin {
  std::string host;
  std::string tool_version;
  std::string edition;  // "program" or "library"
  StationIdentity station = {};
  bool operator==(const Origin&) const = default;
};

// A record as kept: its number in this file, the id that makes it unique on the whole line (so a
// line database takes it once however often it is sent), where it was made, whether the line
// database has it, and why the line database refused it (empty while it did not).
template <typename Record>
struct Stored {
  int64_t id = 0;
  std::string uid;
  Origin origin;
  bool sent = false;
  Record record;
  std::string set_aside = {};
};
using StoredStep = Stored<StepRecord>;
using StoredJournal = Stored<JournalEntry>;
using StoredDotWeight = Stored<DotWeightRecord>;

struct StepFilter {
  std::string serial;  // empty: any
  std::string since;   // local time "2026-12-08" or "2026-12-08T11:00:00"; empty: any
  int station = 0;     // 0: any
};

// One station's day: printers seen, passed and failed (by the total of each printer's last step
// that day), and the slots that failed most, most first. A step naming no printer counts for the
// printer its station names next; `unidentified`: the steps no such step followed.
struct YieldRow {
  std::string day;  // "2026-12-08"
  int station = 0;
  int printers = 0;
  int passed = 0;
  int failed = 0;
  int unidentified = 0;
  std::vector<std::pair<std::string, int>> failed_slots;
};

// The three kinds of record, by the name of their table in the records file.
enum class RecordKind { kStep, kJournal, kDotWeight };
std::string_view TableOf(RecordKind kind);   // "steps", "journal", "dot_weights"
std::string_view KindName(RecordKind kind);  // "step", "journal entry", "dot weight"

// A record the line database refused for its content: which one, and the server's reason.
struct SetAsideRecord {
  RecordKind kind = RecordKind::kStep;
  int64_t id = 0;
  std::string uid;
  std::string reason;
  bool operator==(const SetAsideRecord&) const = default;
};

// What waits for the line database, oldest first.
struct Unsent {
  std::vector<StoredStep> steps;
  std::vector<StoredJournal> journal;
  std::vector<StoredDotWeight> dot_weights;
  bool empty() const { return steps.empty() && journal.empty() && dot_weights.empty(); }
  size_t size() const { return steps.size() + journal.size() + dot_weights.size(); }
};

// The records file of one machine: SQLite, write-ahead log, every record in a transaction of its
// own, so a process killed at any moment leaves every earlier record readable and loses at most
// the one it was writing.
class LocalStore {
 public:
  // Opens the file (creating it and its folder when missing), checks it (SQLite's quick check) and
  // brings its schema up to date. A damaged file is not opened: false with damaged() set and
  // error() saying what SQLite found.
  bool Open(const std::string& path);
  bool is_open() const { return db_.is_open(); }
  bool damaged() const { return damaged_; }
  const std::string& error() const { return db_.error(); }
  const std::string& path() const { return path_; }

  // Whether a read below failed since the file was opened (error() tells why): what it gave may
  // be short.
  bool read_failed() const { return read_failed_; }

  // Each record in one transaction; the new record's id, or nothing (error() tells).
  std::optional<int64_t> Add(const StepRecord& step, const Origin& origin);
  std::optional<int64_t> Add(const JournalEntry& entry, const Origin& origin);
  std::optional<int64_t> Add(const DotWeightRecord& m, const Origin& origin);

  std::vector<StoredStep> Steps(const StepFilter& filter = {});
  std::optional<StoredStep> Step(int64_t id);
  std::vector<StoredJournal> Journal(const std::string& serial = {});
  std::optional<StoredJournal> JournalEntryById(int64_t id);
  std::vector<StoredDotWeight> DotWeights(const std::string& serial = {});
  std::vector<YieldRow> Yield(const std::string& since = {});

  // Up to `limit` records of each kind not yet in the line database, set-aside ones apart.
  Unsent TakeUnsent(int limit);
  int64_t UnsentCount();
  // The records the line database now holds.
  bool MarkSent(const Unsent& sent);

  // A record the line database refused: kept, but not sent again until ReturnSetAside.
  bool SetAside(RecordKind kind, int64_t id, const std::string& reason);
  std::vector<SetAsideRecord> SetAsideRecords();
  // Every set-aside record waits to be sent again; how many.
  std::optional<int64_t> ReturnSetAside();

  SqliteDb& db() { return db_; }

 private:
  bool Check();
  void Finished(const SqliteStatement& query);
  std::optional<int64_t> Insert(SqliteStatement& insert);
  std::vector<StoredStep> QuerySteps(const std::string& where, const std::vector<std::string>& args,
                                     int limit = -1);
  std::vector<StoredJournal> QueryJournal(const std::string& where,
                                          const std::vector<std::string>& args, int limit = -1);
  std::vector<StoredDotWeight> QueryDotWeights(const std::string& where,
                                               const std::vector<std::string>& args,
                                               int limit = -1);

  SqliteDb db_;
  std::string path_;
  bool damaged_ = false;
  bool read_failed_ = false;
};

// A fresh id, unique on the line: 32 hex digits from the system's random source.
std::string NewUid();

}  // namespace tarvo::records
