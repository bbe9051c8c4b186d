// The line's records read from one machine's records file: a line of one station.
#include <set>

#include "model/printer_text.h"
#include "records/line_queries.h"
#include "records/line_reader.h"
#include "records/schema.h"
#include "records/sqlite_db.h"

namespace tarvo::records {
namespace {

constexpr const char* kSlots =
    "(SELECT json_group_array(json_object('slot', slot, 'name', name, 'result', result)) "
    "FROM (SELECT * FROM step_slots WHERE step_id = steps.id ORDER BY slot)) AS slots";
constexpr const char* kDotWeightColumns =
    "uid, host, time, time_utc, kind, weights, average, low, high, passed, model_code, "
    "usb_serial, head_id";

class FileLineReader : public LineReader {
 public:
  bool Open(const std::string& path) {
    if (!db_.OpenReadOnly(path)) return Fail(db_.error());
    const int version = SchemaVersion(db_);
    if (version < 0) return Fail(db_.error());
    if (version < kSchemaVersion) {
      return Fail("the records file is of an older version (" + std::to_string(version) +
                  "): let tarvo-cli open it once (\"tarvo-cli records list\") to bring it up "
                  "to date");
    }
    std::set<std::string> have;
    SqliteStatement q(db_, "SELECT name FROM pragma_table_info('steps')");
    while (q.Step()) have.insert(q.Text(0));
    auto pick = [&](const char* newer, const char* older) {
      const std::string fallback = older ? std::string(older) : "''";
      if (!have.contains(newer)) return fallback + " AS " + newer;
      return "coalesce(nullif(" + std::string(newer) + ", ''), " + fallback + ") AS " + newer;
    };
    step_columns_ = "uid, host, station, " + pick("station_no", nullptr) + ", " +
                    pick("belt_name", "belt") + ", " + pick("pc_name", "pc") + ", " +
                    pick("jig_no", "jig") +
                    ", position, text, started, ended, started_utc, ended_utc, total, "
                    "model_code, usb_serial, head_id, machine_no, machine_id, tof, ms1, ms2, "
                    "vsd, ecn";
    return true;
  }

  bool ok() const override { return ok_; }
  const std::string& error() const override { return error_; }

  Rows LastSteps() override {
    return Query("SELECT " + step_columns_ +
                     " FROM steps WHERE id IN (SELECT max(id) FROM steps GROUP BY host, station)"
                     " ORDER BY started DESC",
                 {});
  }
  Rows Steps(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query(
        "SELECT " + step_columns_ + " FROM steps WHERE " + Range(f, args) + " ORDER BY started, id",
        args);
  }
  Rows FailedSteps(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query("SELECT " + step_columns_ + ", " + kSlots + " FROM steps WHERE total = 0 AND " +
                     Range(f, args) + " ORDER BY started, id",
                 args);
  }
  Rows YieldCounts(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query(YieldCountsSql(kSteps, Range(f, args)), args);
  }
  Rows LastAdjustments(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query(LastAdjustmentsSql(kSteps, Range(f, args)), args);
  }
  Rows DotWeights(const LineFilter& f) override {
    std::vector<std::string> args;
    LineFilter any_station = f;
    any_station.station = 0;
    return Query(std::string("SELECT ") + kDotWeightColumns + " FROM dot_weights WHERE " +
                     Range(any_station, args, "time") + " ORDER BY time, id",
                 args);
  }
  // Identifiers are kept in capitals; a search typed in small letters finds them too.
  Rows FindPrinters(const std::string& text) override {
    return Query(
        "SELECT usb_serial, head_id, max(machine_id) AS machine_id, max(started) AS last_seen "
        "FROM steps WHERE usb_serial IN (?1, upper(?1)) OR head_id IN (?1, upper(?1)) "
        "OR machine_id IN (?1, upper(?1)) "
        "GROUP BY usb_serial, head_id ORDER BY last_seen DESC LIMIT 100",
        {text});
  }
  Rows PrinterSteps(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query("SELECT " + step_columns_ + ", " + kSlots + " FROM steps WHERE " + Of(p, args) +
                     " ORDER BY started, id",
                 args);
  }
  Rows PrinterJournal(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query(
        "SELECT uid, host, operation, time, time_utc, model_code, usb_serial, head_id, area, "
        "check_result AS \"check\", lower(hex(before_bytes)) AS before, "
        "lower(hex(written_bytes)) AS written, lower(hex(read_back_bytes)) AS read_back "
        "FROM journal WHERE " +
            Of(p, args) + " ORDER BY time, id",
        args);
  }
  Rows PrinterDotWeights(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query(std::string("SELECT ") + kDotWeightColumns + " FROM dot_weights WHERE " +
                     Of(p, args) + " ORDER BY time, id",
                 args);
  }
  std::string ChangeMark() override {
    Rows r = Query(
        "SELECT coalesce((SELECT max(id) FROM steps), 0) || '|' || "
        "coalesce((SELECT max(id) FROM journal), 0) || '|' || "
        "coalesce((SELECT max(id) FROM dot_weights), 0) AS mark",
        {});
    return r.empty() ? std::string() : r[0]["mark"].get<std::string>();
  }

 private:
  // One machine's steps, appended in the order it made them: the next step of a station is the
  // next by id.
  inline static const StepsTable kSteps{
      "steps", "id",
      "(SELECT " + PrinterSql("n") +
          " FROM steps n WHERE n.id > s.id AND n.host = s.host AND n.station = s.station AND "
          "(coalesce(n.head_id, '') <> '' OR coalesce(n.usb_serial, '') <> '') "
          "ORDER BY n.id LIMIT 1)"};

  bool Fail(const std::string& why) {
    ok_ = false;
    error_ = why;
    return false;
  }

  static std::string Param(std::vector<std::string>& args, std::string value) {
    args.push_back(std::move(value));
    return "?" + std::to_string(args.size());
  }
  static std::string Range(const LineFilter& f, std::vector<std::string>& args,
                           const std::string& column = "started") {
    std::string where = "1";
    if (!f.from.empty()) where += " AND " + column + " >= " + Param(args, f.from);
    if (!f.to.empty()) where += " AND " + column + " < " + Param(args, f.to);
    if (f.station) where += " AND station = " + std::to_string(f.station);
    return where;
  }
  static std::string Of(const PrinterKey& p, std::vector<std::string>& args) {
    if (!p.head_id.empty()) {
      std::string where = "head_id = " + Param(args, p.head_id);
      if (!p.usb_serial.empty()) where += " AND usb_serial = " + Param(args, p.usb_serial);
      return where;
    }
    return "usb_serial = " + Param(args, p.usb_serial) + " AND head_id = ''";
  }

  Rows Query(const std::string& sql, const std::vector<std::string>& args) {
    ok_ = true;
    Rows rows;
    SqliteStatement q(db_, sql);
    if (!q.ok()) {
      Fail(db_.error());
      return rows;
    }
    for (size_t i = 0; i < args.size(); ++i) q.Bind(static_cast<int>(i + 1), args[i]);
    while (q.Step()) {
      Row row = Row::object();
      for (int c = 0; c < q.ColumnCount(); ++c) {
        const std::string name = q.ColumnName(c);
        switch (q.ColumnType(c)) {
          case SQLITE_NULL:
            row[name] = nullptr;
            break;
          case SQLITE_INTEGER:
            if (name == "passed") {
              row[name] = q.Int(c) != 0;
            } else {
              row[name] = q.Int(c);
            }
            break;
          case SQLITE_FLOAT:
            row[name] = q.Real(c);
            break;
          default: {
            std::string text = AsText(q.Text(c));
            if (name == "slots" || name == "weights") {
              row[name] = Row::parse(text, nullptr, false);
            } else if (name.ends_with("_utc") && text.empty()) {
              row[name] = nullptr;
            } else {
              row[name] = std::move(text);
            }
          }
        }
      }
      rows.push_back(std::move(row));
    }
    if (q.failed()) Fail(db_.error());
    return rows;
  }

  SqliteDb db_;
  std::string step_columns_;
  bool ok_ = true;
  std::string error_;
};

}  // namespace

std::unique_ptr<LineReader> OpenRecordsFileReader(const std::string& path, std::string* error) {
  auto reader = std::make_unique<FileLineReader>();
  if (!reader->Open(path)) {
    *error = reader->error();
    return nullptr;
  }
  return reader;
}

}  // namespace tarvo::records
