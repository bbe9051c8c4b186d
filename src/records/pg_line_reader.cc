// The line's records read from the line database, as the read-only role.
#include <libpq-fe.h>
#include <sys/select.h>

#include <set>

#include "records/line_database.h"
#include "records/line_queries.h"
#include "records/line_reader.h"
#include "records/step_rollup.h"

namespace tarvo::records {
namespace {

constexpr unsigned kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat8 = 701, kJsonb = 3802;

std::string Utc(const std::string& column) {
  return "to_char(" + column + " AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";
}

class PgLineReader : public LineReader {
 public:
  PgLineReader(std::string conninfo, PGconn* conn) : conninfo_(std::move(conninfo)), conn_(conn) {}
  ~PgLineReader() override { PQfinish(conn_); }

  // The station's identity columns of newer tables where they are; the older ones else.
  bool Init() {
    Rows columns = Query(
        "SELECT column_name::text AS name FROM information_schema.columns "
        "WHERE table_name = 'tarvo_steps' AND table_schema = current_schema()",
        {});
    if (!ok_) return false;
    std::set<std::string> have;
    for (const Row& r : columns) have.insert(r["name"].get<std::string>());
    if (!have.contains("machine_id")) {
      ok_ = false;
      error_ =
          "the line database has no Tarvo tables, or older ones: run \"tarvo-cli records "
          "setup-db\" once as the database's owner";
      return false;
    }
    auto pick = [&](const char* newer, const char* older) {
      const std::string fallback = older ? std::string(older) : "''::text";
      if (!have.contains(newer)) return fallback + " AS " + newer;
      return "coalesce(nullif(" + std::string(newer) + "::text, ''), " + fallback + ") AS " + newer;
    };
    step_columns_ = "uid, host, station, " + pick("station_no", nullptr) + ", " +
                    pick("belt_name", "belt") + ", " + pick("pc_name", "pc") + ", " +
                    pick("jig_no", "jig") + ", position, text, started, ended, " +
                    Utc("started_utc") + " AS started_utc, " + Utc("ended_utc") +
                    " AS ended_utc, total, model_code, usb_serial, head_id, machine_no, "
                    "machine_id, tof, ms1, ms2, vsd, ecn";
    const Rows rollup = Query(
        "SELECT CASE WHEN to_regclass('tarvo_step_hours') IS NULL THEN false "
        "ELSE has_table_privilege('tarvo_step_hours', 'SELECT') END AS rollup",
        {});
    rollup_ = ok_ && !rollup.empty() && rollup[0]["rollup"] == true;
    return ok_;
  }

  bool ok() const override { return ok_; }
  const std::string& error() const override { return error_; }

  // Records of the same second in their order of arrival: the tables are only ever appended to,
  // and a station sends its records in the order it made them.
  Rows LastSteps() override {
    // One index descent per station rather than a pass over every step.
    return Query(
        "WITH RECURSIVE k(host, station) AS ("
        " (SELECT host, station FROM tarvo_steps ORDER BY host, station LIMIT 1)"
        " UNION ALL"
        " SELECT n.host, n.station FROM k, LATERAL (SELECT t.host, t.station FROM tarvo_steps t"
        "  WHERE (t.host, t.station) > (k.host, k.station) ORDER BY t.host, t.station LIMIT 1) n)"
        " SELECT s.* FROM k, LATERAL (SELECT " +
            StepColumns() +
            " FROM tarvo_steps t WHERE t.host = k.host AND t.station = k.station"
            " ORDER BY t.started DESC, t.ctid DESC LIMIT 1) s"
            " ORDER BY s.started DESC",
        {});
  }

  Rows Steps(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query("SELECT " + StepColumns() + " FROM tarvo_steps WHERE " + Range(f, args) +
                     " ORDER BY started, ctid",
                 args);
  }

  Rows FailedSteps(const LineFilter& f) override {
    std::vector<std::string> args;
    return Query("SELECT " + StepColumns() + ", slots FROM tarvo_steps WHERE total = 0 AND " +
                     Range(f, args) + " ORDER BY started, ctid",
                 args);
  }

  Rows YieldCounts(const LineFilter& f) override {
    std::vector<std::string> args;
    if (std::optional<LineFilter> hours = HourRange(f)) {
      const std::string where = Range(*hours, args, "hour");
      return Query(RollupYieldCountsSql(where, Range(f, args)), args);
    }
    return Query(YieldCountsSql(kSteps, Range(f, args)), args);
  }

  Rows LastAdjustments(const LineFilter& f) override {
    std::vector<std::string> args;
    if (std::optional<LineFilter> hours = HourRange(f)) {
      return Query(RollupLastAdjustmentsSql(Range(*hours, args, "hour")), args);
    }
    return Query(LastAdjustmentsSql(kSteps, Range(f, args)), args);
  }

  Rows DotWeights(const LineFilter& f) override {
    std::vector<std::string> args;
    LineFilter any_station = f;
    any_station.station = 0;
    return Query("SELECT " + std::string(kDotWeightColumns) + " FROM tarvo_dot_weights WHERE " +
                     Range(any_station, args, "time") + " ORDER BY time, ctid",
                 args);
  }

  // Identifiers are kept in capitals; a search typed in small letters finds them too.
  Rows FindPrinters(const std::string& text) override {
    return Query(
        "SELECT usb_serial, head_id, max(machine_id) AS machine_id, max(started) AS last_seen "
        "FROM tarvo_steps WHERE usb_serial IN ($1, upper($1)) OR head_id IN ($1, upper($1)) "
        "OR machine_id IN ($1, upper($1)) "
        "GROUP BY usb_serial, head_id ORDER BY last_seen DESC LIMIT 100",
        {text});
  }

  Rows PrinterSteps(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query("SELECT " + StepColumns() + ", slots FROM tarvo_steps WHERE " + Of(p, args) +
                     " ORDER BY started, ctid",
                 args);
  }
  Rows PrinterJournal(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query(
        "SELECT uid, host, operation, time, " + Utc("time_utc") +
            " AS time_utc, model_code, usb_serial, head_id, area, check_result AS \"check\", "
            "encode(before_bytes, 'hex') AS before, encode(written_bytes, 'hex') AS written, "
            "encode(read_back_bytes, 'hex') AS read_back FROM tarvo_journal WHERE " +
            Of(p, args) + " ORDER BY time, ctid",
        args);
  }
  Rows PrinterDotWeights(const PrinterKey& p) override {
    std::vector<std::string> args;
    return Query("SELECT " + std::string(kDotWeightColumns) + " FROM tarvo_dot_weights WHERE " +
                     Of(p, args) + " ORDER BY time, ctid",
                 args);
  }

  std::string ChangeMark() override {
    Rows r = Query(
        "SELECT (SELECT max(received) FROM tarvo_steps)::text || '|' || "
        "(SELECT max(received) FROM tarvo_journal)::text || '|' || "
        "(SELECT max(received) FROM tarvo_dot_weights)::text AS mark",
        {});
    return r.empty() || r[0]["mark"].is_null() ? std::string() : r[0]["mark"].dump();
  }

 private:
  // The next step of a station: one descent of the index by host, station and start.
  inline static const StepsTable kSteps{
      "tarvo_steps", "ctid",
      "(SELECT " + PrinterSql("n") +
          " FROM tarvo_steps n WHERE n.host = s.host AND n.station = s.station AND "
          "n.started >= s.started AND (n.started > s.started OR n.ctid > s.ctid) AND "
          "(coalesce(n.head_id, '') <> '' OR coalesce(n.usb_serial, '') <> '') "
          "ORDER BY n.started, n.ctid LIMIT 1)"};

  static constexpr const char* kDotWeightColumns =
      "uid, host, time, to_char(time_utc AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') AS "
      "time_utc, kind, weights, average, low, high, passed, model_code, usb_serial, head_id";

  std::string StepColumns() const { return step_columns_; }

  static std::string Param(std::vector<std::string>& args, std::string value) {
    args.push_back(std::move(value));
    return "$" + std::to_string(args.size());
  }

  static std::string Range(const LineFilter& f, std::vector<std::string>& args,
                           const std::string& column = "started") {
    std::string where = "true";
    if (!f.from.empty()) where += " AND " + column + " >= " + Param(args, f.from);
    if (!f.to.empty()) where += " AND " + column + " < " + Param(args, f.to);
    if (f.station) where += " AND station = " + Param(args, std::to_string(f.station));
    return where;
  }

  // The range as hours of the rollup, where there is one and the range is whole hours.
  std::optional<LineFilter> HourRange(const LineFilter& f) const {
    if (!rollup_) return std::nullopt;
    LineFilter hours = f;
    for (std::string* bound : {&hours.from, &hours.to}) {
      if (bound->empty()) continue;
      std::optional<std::string> hour = HourBound(*bound);
      if (!hour) return std::nullopt;
      *bound = *hour;
    }
    return hours;
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
    if (PQstatus(conn_) != CONNECTION_OK) PQreset(conn_);
    std::vector<const char*> params;
    for (const std::string& a : args) params.push_back(a.c_str());
    PGresult* r = PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr,
                               params.data(), nullptr, nullptr, 0);
    Rows rows;
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
      ok_ = false;
      error_ = RedactSecrets(PQresultErrorMessage(r), conninfo_);
      while (!error_.empty() && error_.back() == '\n') error_.pop_back();
      PQclear(r);
      return rows;
    }
    const int n = PQntuples(r), columns = PQnfields(r);
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
      Row row = Row::object();
      for (int c = 0; c < columns; ++c) {
        const char* name = PQfname(r, c);
        if (PQgetisnull(r, i, c)) {
          row[name] = nullptr;
          continue;
        }
        const char* v = PQgetvalue(r, i, c);
        switch (PQftype(r, c)) {
          case kInt2:
          case kInt4:
          case kInt8:
            row[name] = std::stoll(v);
            break;
          case kFloat8:
            row[name] = std::stod(v);
            break;
          case kBool:
            row[name] = v[0] == 't';
            break;
          case kJsonb:
            row[name] = Row::parse(v, nullptr, false);
            break;
          default:
            row[name] = v;
        }
      }
      rows.push_back(std::move(row));
    }
    PQclear(r);
    return rows;
  }

  std::string conninfo_;
  PGconn* conn_;
  std::string step_columns_;
  bool rollup_ = false;  // tarvo_step_hours is there and readable (an older setup has none)
  bool ok_ = true;
  std::string error_;
};

void IgnoreNotice(void*, const char*) {}

PGconn* ConnectReadOnly(const std::string& conninfo, std::string* error) {
  // Whatever the role may do, this connection reads only.
  const char* keys[] = {"dbname", "options", nullptr};
  const char* values[] = {conninfo.c_str(), "-c default_transaction_read_only=on", nullptr};
  PGconn* conn = PQconnectdbParams(keys, values, 1);
  if (!conn || PQstatus(conn) != CONNECTION_OK) {
    *error = RedactSecrets(conn ? PQerrorMessage(conn) : "out of memory", conninfo);
    while (!error->empty() && error->back() == '\n') error->pop_back();
    PQfinish(conn);
    return nullptr;
  }
  PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
  return conn;
}

}  // namespace

std::unique_ptr<LineReader> OpenLineDatabaseReader(const std::string& conninfo,
                                                   std::string* error) {
  PGconn* conn = ConnectReadOnly(conninfo, error);
  if (!conn) return nullptr;
  auto reader = std::make_unique<PgLineReader>(conninfo, conn);
  if (!reader->Init()) {
    *error = reader->error();
    return nullptr;
  }
  return reader;
}

LineListener::LineListener(std::string conninfo) : conninfo_(std::move(conninfo)) {}

LineListener::~LineListener() {
  PQfinish(conn_);
}

bool LineListener::Listen() {
  PQfinish(conn_);
  conn_ = ConnectReadOnly(conninfo_, &error_);
  if (!conn_) return false;
  PGresult* r = PQexec(conn_, (std::string("LISTEN ") + kRecordsChannel).c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) error_ = RedactSecrets(PQresultErrorMessage(r), conninfo_);
  PQclear(r);
  return ok;
}

std::optional<std::vector<std::string>> LineListener::Wait(int timeout_ms) {
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    error_ = "the line database's connection was lost";
    return std::nullopt;
  }
  std::vector<std::string> tables;
  auto drain = [&] {
    while (PGnotify* n = PQnotifies(conn_)) {
      tables.emplace_back(n->extra);
      PQfreemem(n);
    }
  };
  drain();
  if (!tables.empty()) return tables;
  const int socket = PQsocket(conn_);
  fd_set read;
  FD_ZERO(&read);
  FD_SET(socket, &read);
  timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int ready = select(socket + 1, &read, nullptr, nullptr, &timeout);
  if (ready < 0 || (ready > 0 && !PQconsumeInput(conn_))) {
    error_ = RedactSecrets(PQerrorMessage(conn_), conninfo_);
    PQfinish(conn_);
    conn_ = nullptr;
    return std::nullopt;
  }
  drain();
  return tables;
}

}  // namespace tarvo::records
