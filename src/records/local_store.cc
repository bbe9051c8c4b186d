#include "records/local_store.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sstream>

#include "base/hex.h"
#include "model/printer_text.h"
#include "records/schema.h"
#include "records/step_columns.h"

namespace tarvo::records {
namespace {

// Every query of records begins with these; each kind's own columns follow them (the steps' from
// records/step_columns.h).
#define TARVO_HEAD_COLUMNS                                                \
  "id, uid, host, tool_version, edition, sent, coalesce(set_aside, ''), " \
  "coalesce(station_no, 0), belt_name, pc_name, jig_no, "
constexpr const char* kStepHeadColumns = TARVO_HEAD_COLUMNS;
constexpr int kHeadCount = 11;
constexpr const char* kJournalColumns = TARVO_HEAD_COLUMNS
    "operation, time, model_code, usb_serial, head_id, area, before_bytes, written_bytes, "
    "read_back_bytes, check_result, model_code_hex, usb_serial_hex, head_id_hex, time_utc";
constexpr const char* kDotWeightColumns = TARVO_HEAD_COLUMNS
    "time, kind, weights, average, low, high, passed, model_code, usb_serial, head_id, "
    "model_code_hex, usb_serial_hex, head_id_hex, time_utc";
#undef TARVO_HEAD_COLUMNS

// The head columns of every query above.
template <typename Record>
Stored<Record> Head(const SqliteStatement& q) {
  Stored<Record> s;
  s.id = q.Int(0);
  s.uid = q.Text(1);
  s.origin = {q.Text(2),
              q.Text(3),
              q.Text(4),
              {static_cast<int>(q.Int(7)), q.Text(8), q.Text(9), q.Text(10)}};
  s.sent = q.Int(5) != 0;
  s.set_aside = q.Text(6);
  return s;
}

// Records made before the printer's fields were kept as text hold their bytes as they were: made
// readable, and their bytes kept as hex where the record has none.
void Readable(PrinterIdentity& p) {
  auto fix = [](std::string& text, std::string& hex) {
    if (IsUtf8(text)) return;
    if (hex.empty()) {
      hex = ToHex(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    text = DecodePrinterText(text);
  };
  fix(p.model_code, p.model_code_hex);
  fix(p.usb_serial, p.usb_serial_hex);
  fix(p.head_id, p.head_id_hex);
}

// The origin columns of every insert: uid, host, tool_version, edition, station_no, belt_name,
// pc_name, jig_no; a record of no station has no station number.
constexpr const char* kOriginColumns =
    "uid, host, tool_version, edition, station_no, belt_name, pc_name, jig_no";
constexpr int kOriginCount = 8;

void BindOrigin(SqliteStatement& s, const std::string& uid, const Origin& o) {
  s.Bind(1, uid).Bind(2, o.host).Bind(3, o.tool_version).Bind(4, o.edition);
  if (o.station.station_no != 0) s.Bind(5, int64_t{o.station.station_no});
  s.Bind(6, o.station.belt_name).Bind(7, o.station.pc_name).Bind(8, o.station.jig_no);
}

std::string Marks(size_t n) {
  std::string marks = "?";
  for (size_t i = 1; i < n; ++i) marks += ", ?";
  return marks;
}

void BindAll(SqliteStatement& q, const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) q.Bind(static_cast<int>(i + 1), args[i]);
}

std::string LimitClause(int limit) {
  return limit < 0 ? std::string() : " LIMIT " + std::to_string(limit);
}

WriteCheck CheckFromName(const std::string& name) {
  if (name == CheckName(WriteCheck::kVerified)) return WriteCheck::kVerified;
  if (name == CheckName(WriteCheck::kMismatch)) return WriteCheck::kMismatch;
  return WriteCheck::kNotChecked;
}

}  // namespace

std::string NewUid() {
  static thread_local std::random_device source;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string uid;
  for (int i = 0; i < 4; ++i) {
    uint32_t word = source();
    for (int d = 0; d < 8; ++d, word >>= 4) uid += kDigits[word & 0xF];
  }
  return uid;
}

bool LocalStore::Open(const std::string& path) {
  path_ = path;
  damaged_ = false;
  read_failed_ = false;
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  if (!db_.Open(path)) return false;
  if (!Check()) {
    // Closed again: nothing is written into a damaged file.
    const std::string error = db_.error();
    db_.Close();
    db_.SetError(error);
    return false;
  }
  // Write-ahead log: a commit is one append, readers never block the writer, and a process
  // killed at any point leaves the file as of its last commit.
  if (!db_.Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
                "PRAGMA foreign_keys = ON;") ||
      !MigrateTo(db_)) {
    return false;
  }
  return true;
}

// A damaged page reads as no rows and takes new records that go down with it, so the file is
// checked before anything else is done with it.
bool LocalStore::Check() {
  SqliteStatement check(db_, "PRAGMA quick_check(3)");
  std::string findings;
  // Each finding on one line, without the heading SQLite gives them ("*** in database main ***").
  while (check.Step()) {
    std::istringstream lines(check.Text(0));
    for (std::string line; std::getline(lines, line);) {
      if (line.empty() || line.starts_with("***")) continue;
      findings += (findings.empty() ? "" : "; ") + line;
    }
  }
  if (!check.failed() && findings == "ok") return true;
  if (check.failed()) {
    damaged_ = db_.FoundDamage();
    return false;
  }
  damaged_ = true;
  db_.SetError(findings);
  return false;
}

void LocalStore::Finished(const SqliteStatement& query) {
  if (query.failed()) read_failed_ = true;
}

std::optional<int64_t> LocalStore::Insert(SqliteStatement& insert) {
  if (!insert.ok() || !insert.Run()) return std::nullopt;
  return db_.LastInsertId();
}

std::optional<int64_t> LocalStore::Add(const StepRecord& step, const Origin& origin) {
  SqliteTransaction t(db_);
  if (!t.ok()) return std::nullopt;
  SqliteStatement s(db_, std::string("INSERT INTO steps (") + kOriginColumns + ", " +
                             StepColumnList() + ") VALUES (" +
                             Marks(kOriginCount + StepColumns().size()) + ")");
  BindOrigin(s, NewUid(), origin);
  int at = kOriginCount + 1;
  for (const StepValue& value : StepValues(step)) {
    std::visit([&](const auto& v) { s.Bind(at++, v); }, value);
  }
  std::optional<int64_t> id = Insert(s);
  if (!id) return std::nullopt;
  SqliteStatement slot(db_,
                       "INSERT OR REPLACE INTO step_slots (step_id, slot, name, result) "
                       "VALUES (?, ?, ?, ?)");
  for (const SlotResult& r : step.slot_results) {
    slot.Reset();
    slot.Bind(1, *id).Bind(2, int64_t{r.slot}).Bind(3, r.name).Bind(4, int64_t{r.result});
    if (!slot.Run()) return std::nullopt;
  }
  if (!t.Commit()) return std::nullopt;
  return id;
}

std::optional<int64_t> LocalStore::Add(const JournalEntry& e, const Origin& origin) {
  SqliteTransaction t(db_);
  if (!t.ok()) return std::nullopt;
  SqliteStatement s(db_, std::string("INSERT INTO journal (") + kOriginColumns +
                             ", operation, time, model_code, usb_serial, head_id, area, "
                             "before_bytes, written_bytes, read_back_bytes, check_result, "
                             "model_code_hex, usb_serial_hex, head_id_hex, time_utc) VALUES (" +
                             Marks(kOriginCount + 14) + ")");
  BindOrigin(s, NewUid(), origin);
  constexpr int o = kOriginCount;
  s.Bind(o + 1, e.operation).Bind(o + 2, e.time).Bind(o + 3, e.printer.model_code);
  s.Bind(o + 4, e.printer.usb_serial).Bind(o + 5, e.printer.head_id).Bind(o + 6, AreaName(e.area));
  s.BindBlob(o + 7, e.before).BindBlob(o + 8, e.written).BindBlob(o + 9, e.read_back);
  s.Bind(o + 10, CheckName(e.check)).Bind(o + 11, e.printer.model_code_hex);
  s.Bind(o + 12, e.printer.usb_serial_hex).Bind(o + 13, e.printer.head_id_hex);
  s.Bind(o + 14, e.time_utc);
  std::optional<int64_t> id = Insert(s);
  if (!id || !t.Commit()) return std::nullopt;
  return id;
}

std::optional<int64_t> LocalStore::Add(const DotWeightRecord& m, const Origin& origin) {
  SqliteTransaction t(db_);
  if (!t.ok()) return std::nullopt;
  SqliteStatement s(db_, std::string("INSERT INTO dot_weights (") + kOriginColumns +
                             ", time, kind, weights, average, low, high, passed, model_code, "
                             "usb_serial, head_id, model_code_hex, usb_serial_hex, head_id_hex, "
                             "time_utc) VALUES (" +
                             Marks(kOriginCount + 14) + ")");
  BindOrigin(s, NewUid(), origin);
  constexpr int o = kOriginCount;
  s.Bind(o + 1, m.time).Bind(o + 2, m.kind).Bind(o + 3, nlohmann::json(m.weights).dump());
  s.Bind(o + 4, m.average).Bind(o + 5, m.low).Bind(o + 6, m.high);
  s.Bind(o + 7, int64_t{m.passed});
  s.Bind(o + 8, m.printer.model_code).Bind(o + 9, m.printer.usb_serial);
  s.Bind(o + 10, m.printer.head_id).Bind(o + 11, m.printer.model_code_hex);
  s.Bind(o + 12, m.printer.usb_serial_hex).Bind(o + 13, m.printer.head_id_hex);
  s.Bind(o + 14, m.time_utc);
  std::optional<int64_t> id = Insert(s);
  if (!id || !t.Commit()) return std::nullopt;
  return id;
}

std::vector<StoredStep> LocalStore::QuerySteps(const std::string& where,
                                               const std::vector<std::string>& args, int limit) {
  std::vector<StoredStep> out;
  SqliteStatement q(db_, std::string("SELECT ") + kStepHeadColumns + StepColumnList() +
                             " FROM steps " + where + " ORDER BY id" + LimitClause(limit));
  BindAll(q, args);
  const std::span<const StepColumn> columns = StepColumns();
  std::vector<StepValue> values(columns.size());
  while (q.Step()) {
    StoredStep s = Head<StepRecord>(q);
    for (size_t i = 0; i < columns.size(); ++i) {
      const int at = kHeadCount + static_cast<int>(i);
      values[i] = columns[i].integer ? StepValue(q.Int(at)) : StepValue(q.Text(at));
    }
    s.record = StepOf(values);
    Readable(s.record.printer);
    out.push_back(std::move(s));
  }
  Finished(q);
  SqliteStatement slots(
      db_, "SELECT slot, name, result FROM step_slots WHERE step_id = ? ORDER BY slot");
  for (StoredStep& s : out) {
    slots.Reset();
    slots.Bind(1, s.id);
    while (slots.Step()) {
      s.record.slot_results.push_back(
          {static_cast<int>(slots.Int(0)), slots.Text(1), static_cast<int>(slots.Int(2))});
    }
    Finished(slots);
  }
  return out;
}

std::vector<StoredJournal> LocalStore::QueryJournal(const std::string& where,
                                                    const std::vector<std::string>& args,
                                                    int limit) {
  std::vector<StoredJournal> out;
  SqliteStatement q(db_, std::string("SELECT ") + kJournalColumns + " FROM journal " + where +
                             " ORDER BY id" + LimitClause(limit));
  BindAll(q, args);
  while (q.Step()) {
    StoredJournal s = Head<JournalEntry>(q);
    JournalEntry& e = s.record;
    constexpr int h = kHeadCount;
    e.operation = q.Text(h);
    e.time = q.Text(h + 1);
    e.printer = {q.Text(h + 2),  q.Text(h + 3),  q.Text(h + 4),
                 q.Text(h + 10), q.Text(h + 11), q.Text(h + 12)};
    Readable(e.printer);
    e.area = q.Text(h + 5) == AreaName(EepromArea::kHeadBlock) ? EepromArea::kHeadBlock
                                                               : EepromArea::kRomImage;
    e.before = q.Blob(h + 6);
    e.written = q.Blob(h + 7);
    e.read_back = q.Blob(h + 8);
    e.check = CheckFromName(q.Text(h + 9));
    e.time_utc = q.Text(h + 13);
    out.push_back(std::move(s));
  }
  Finished(q);
  return out;
}

std::vector<StoredDotWeight> LocalStore::QueryDotWeights(const std::string& where,
                                                         const std::vector<std::string>& args,
                                                         int limit) {
  std::vector<StoredDotWeight> out;
  SqliteStatement q(db_, std::string("SELECT ") + kDotWeightColumns + " FROM dot_weights " + where +
                             " ORDER BY id" + LimitClause(limit));
  BindAll(q, args);
  while (q.Step()) {
    StoredDotWeight s = Head<DotWeightRecord>(q);
    DotWeightRecord& m = s.record;
    constexpr int h = kHeadCount;
    m.time = q.Text(h);
    m.kind = q.Text(h + 1);
    auto weights = nlohmann::json::parse(q.Text(h + 2), nullptr, false);
    if (weights.is_array()) {
      for (const auto& w : weights)
        if (w.is_number()) m.weights.push_back(w.get<double>());
    }
    m.average = q.Real(h + 3);
    m.low = q.Real(h + 4);
    m.high = q.Real(h + 5);
    m.passed = q.Int(h + 6) != 0;
    m.printer = {q.Text(h + 7),  q.Text(h + 8),  q.Text(h + 9),
                 q.Text(h + 10), q.Text(h + 11), q.Text(h + 12)};
    Readable(m.printer);
    m.time_utc = q.Text(h + 13);
    out.push_back(std::move(s));
  }
  Finished(q);
  return out;
}

std::vector<StoredStep> LocalStore::Steps(const StepFilter& f) {
  std::string where = "WHERE 1 = 1";
  std::vector<std::string> args;
  if (!f.serial.empty()) {
    where += " AND usb_serial = ?";
    args.push_back(f.serial);
  }
  if (!f.since.empty()) {
    where += " AND started >= ?";
    args.push_back(f.since);
  }
  if (f.station != 0) where += " AND station = " + std::to_string(f.station);
  return QuerySteps(where, args);
}

std::optional<StoredStep> LocalStore::Step(int64_t id) {
  auto rows = QuerySteps("WHERE id = " + std::to_string(id), {});
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

std::vector<StoredJournal> LocalStore::Journal(const std::string& serial) {
  if (serial.empty()) return QueryJournal("", {});
  return QueryJournal("WHERE usb_serial = ?", {serial});
}

std::optional<StoredJournal> LocalStore::JournalEntryById(int64_t id) {
  auto rows = QueryJournal("WHERE id = " + std::to_string(id), {});
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

std::vector<StoredDotWeight> LocalStore::DotWeights(const std::string& serial) {
  if (serial.empty()) return QueryDotWeights("", {});
  return QueryDotWeights("WHERE usb_serial = ?", {serial});
}

std::vector<YieldRow> LocalStore::Yield(const std::string& since) {
  struct Day {
    std::map<std::string, int> last_total;  // per printer, its last step's total
    std::map<std::string, int> failed_slots;
    int unidentified = 0;
  };
  std::map<std::pair<std::string, int>, Day> days;
  // A step that names no printer (the grease before the head ID of a fresh printer) belongs to
  // the printer the same station of the same host names next; one that no step follows stays
  // apart, counted as a step naming no printer.
  struct Pending {
    std::string day;
    int total;
  };
  std::map<std::pair<std::string, int>, std::vector<Pending>> pending;  // by host and station
  SqliteStatement q(db_,
                    "SELECT substr(started, 1, 10), station, usb_serial, head_id, total, host "
                    "FROM steps WHERE started >= ? ORDER BY id");
  q.Bind(1, since);
  while (q.Step()) {
    const std::string day = q.Text(0);
    const int station = static_cast<int>(q.Int(1));
    const std::string serial = AsText(q.Text(2));
    const std::string head = AsText(q.Text(3));
    const int total = static_cast<int>(q.Int(4));
    std::vector<Pending>& before = pending[{q.Text(5), station}];
    if (serial.empty() && head.empty()) {
      before.push_back({day, total});
      continue;
    }
    const std::string printer = serial.empty() ? "head " + head : serial;
    for (const Pending& p : before) days[{p.day, station}].last_total.emplace(printer, p.total);
    before.clear();
    days[{day, station}].last_total[printer] = total;
  }
  for (const auto& [where, steps] : pending) {
    for (const Pending& p : steps) ++days[{p.day, where.second}].unidentified;
  }
  Finished(q);
  SqliteStatement f(
      db_,
      "SELECT substr(s.started, 1, 10), s.station, t.name, count(*) FROM step_slots t "
      "JOIN steps s ON s.id = t.step_id WHERE t.result = 0 AND s.started >= ? "
      "GROUP BY 1, 2, 3");
  f.Bind(1, since);
  while (f.Step()) {
    days[{f.Text(0), static_cast<int>(f.Int(1))}].failed_slots[f.Text(2)] =
        static_cast<int>(f.Int(3));
  }
  Finished(f);
  std::vector<YieldRow> out;
  for (const auto& [key, day] : days) {
    YieldRow row;
    row.day = key.first;
    row.station = key.second;
    row.printers = static_cast<int>(day.last_total.size());
    row.unidentified = day.unidentified;
    for (const auto& [printer, total] : day.last_total) {
      if (total == 1) ++row.passed;
      if (total == 0) ++row.failed;
    }
    row.failed_slots.assign(day.failed_slots.begin(), day.failed_slots.end());
    std::stable_sort(row.failed_slots.begin(), row.failed_slots.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    out.push_back(std::move(row));
  }
  return out;
}

Unsent LocalStore::TakeUnsent(int limit) {
  Unsent u;
  constexpr const char* kWaiting = "WHERE sent = 0 AND set_aside IS NULL";
  u.steps = QuerySteps(kWaiting, {}, limit);
  u.journal = QueryJournal(kWaiting, {}, limit);
  u.dot_weights = QueryDotWeights(kWaiting, {}, limit);
  return u;
}

int64_t LocalStore::UnsentCount() {
  SqliteStatement q(db_,
                    "SELECT (SELECT count(*) FROM steps WHERE sent = 0 AND set_aside IS NULL) + "
                    "(SELECT count(*) FROM journal WHERE sent = 0 AND set_aside IS NULL) + "
                    "(SELECT count(*) FROM dot_weights WHERE sent = 0 AND set_aside IS NULL)");
  return q.Step() ? q.Int(0) : 0;
}

std::string_view TableOf(RecordKind kind) {
  switch (kind) {
    case RecordKind::kStep:
      return "steps";
    case RecordKind::kJournal:
      return "journal";
    case RecordKind::kDotWeight:
      break;
  }
  return "dot_weights";
}

std::string_view KindName(RecordKind kind) {
  switch (kind) {
    case RecordKind::kStep:
      return "step";
    case RecordKind::kJournal:
      return "journal entry";
    case RecordKind::kDotWeight:
      break;
  }
  return "dot weight";
}

bool LocalStore::SetAside(RecordKind kind, int64_t id, const std::string& reason) {
  SqliteStatement s(db_,
                    "UPDATE " + std::string(TableOf(kind)) + " SET set_aside = ? WHERE id = ?");
  s.Bind(1, reason).Bind(2, id);
  return s.ok() && s.Run();
}

std::vector<SetAsideRecord> LocalStore::SetAsideRecords() {
  std::vector<SetAsideRecord> out;
  for (RecordKind kind : {RecordKind::kStep, RecordKind::kJournal, RecordKind::kDotWeight}) {
    SqliteStatement q(db_, "SELECT id, uid, set_aside FROM " + std::string(TableOf(kind)) +
                               " WHERE set_aside IS NOT NULL AND sent = 0 ORDER BY id");
    while (q.Step()) out.push_back({kind, q.Int(0), q.Text(1), q.Text(2)});
  }
  return out;
}

std::optional<int64_t> LocalStore::ReturnSetAside() {
  SqliteTransaction t(db_);
  if (!t.ok()) return std::nullopt;
  int64_t n = 0;
  for (RecordKind kind : {RecordKind::kStep, RecordKind::kJournal, RecordKind::kDotWeight}) {
    SqliteStatement s(db_, "UPDATE " + std::string(TableOf(kind)) +
                               " SET set_aside = NULL WHERE set_aside IS NOT NULL");
    if (!s.ok() || !s.Run()) return std::nullopt;
    n += sqlite3_changes(db_.handle());
  }
  if (!t.Commit()) return std::nullopt;
  return n;
}

bool LocalStore::MarkSent(const Unsent& sent) {
  SqliteTransaction t(db_);
  if (!t.ok()) return false;
  auto mark = [&](const char* table, auto& rows) {
    SqliteStatement s(db_, std::string("UPDATE ") + table + " SET sent = 1 WHERE id = ?");
    for (const auto& r : rows) {
      s.Reset();
      s.Bind(1, r.id);
      if (!s.Run()) return false;
    }
    return true;
  };
  return mark("steps", sent.steps) && mark("journal", sent.journal) &&
         mark("dot_weights", sent.dot_weights) && t.Commit();
}

}  // namespace tarvo::records
