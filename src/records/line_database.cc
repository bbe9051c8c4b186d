#include "records/line_database.h"

#include <libpq-fe.h>

#include <nlohmann/json.hpp>
#include <vector>

#include "base/hex.h"
#include "records/step_columns.h"

namespace tarvo::records {
namespace {

// The tables, created when missing; the steps' own columns come from records/step_columns.h.
std::string Schema() {
  return R"sql(
SELECT pg_advisory_xact_lock(7352001);
CREATE TABLE IF NOT EXISTS tarvo_steps (
  uid TEXT PRIMARY KEY,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
)sql" + StepColumnDefinitions() +
         R"sql(  slots JSONB NOT NULL,
  received TIMESTAMPTZ NOT NULL DEFAULT now()
);
CREATE TABLE IF NOT EXISTS tarvo_journal (
  uid TEXT PRIMARY KEY,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
  operation TEXT NOT NULL,
  time TEXT NOT NULL,
  model_code TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  head_id TEXT NOT NULL,
  area TEXT NOT NULL,
  before_bytes BYTEA NOT NULL,
  written_bytes BYTEA NOT NULL,
  read_back_bytes BYTEA NOT NULL,
  check_result TEXT NOT NULL,
  received TIMESTAMPTZ NOT NULL DEFAULT now()
);
CREATE TABLE IF NOT EXISTS tarvo_dot_weights (
  uid TEXT PRIMARY KEY,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
  time TEXT NOT NULL,
  kind TEXT NOT NULL,
  weights JSONB NOT NULL,
  average DOUBLE PRECISION NOT NULL,
  low DOUBLE PRECISION NOT NULL,
  high DOUBLE PRECISION NOT NULL,
  passed BOOLEAN NOT NULL,
  model_code TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  head_id TEXT NOT NULL,
  received TIMESTAMPTZ NOT NULL DEFAULT now()
);
)sql";
}

void IgnoreNotice(void*, const char*) {}

std::string Bytea(const std::vector<uint8_t>& bytes) {
  return "\\x" + ToHex(bytes);
}

// Runs one INSERT with text parameters.
bool Insert(pg_conn* conn, const char* sql, const std::vector<std::string>& values,
            std::string* error) {
  std::vector<const char*> params;
  for (const auto& v : values) params.push_back(v.c_str());
  PGresult* r = PQexecParams(conn, sql, static_cast<int>(params.size()), nullptr, params.data(),
                             nullptr, nullptr, 0);
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) *error = PQerrorMessage(conn);
  PQclear(r);
  return ok;
}

std::vector<std::string> OriginValues(const std::string& uid, const Origin& o) {
  return {uid, o.host, o.tool_version, o.edition};
}

}  // namespace

std::string RedactSecrets(std::string text, const std::string& conninfo) {
  auto blank = [&](const std::string& secret) {
    if (secret.size() < 2) return;
    for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at)) {
      text.replace(at, secret.size(), "***");
    }
  };
  blank(conninfo);
  char* parse_error = nullptr;
  if (PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &parse_error)) {
    for (PQconninfoOption* o = options; o->keyword; ++o) {
      if (o->val && std::string(o->keyword) == "password") blank(o->val);
    }
    PQconninfoFree(options);
  }
  PQfreemem(parse_error);
  return text;
}

LineDatabase::LineDatabase(std::string conninfo) : conninfo_(std::move(conninfo)) {}

LineDatabase::~LineDatabase() {
  Disconnect();
}

void LineDatabase::Disconnect() {
  if (conn_) PQfinish(conn_);
  conn_ = nullptr;
}

void LineDatabase::Fail(const std::string& what) {
  std::string text = what;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  error_ = RedactSecrets(text, conninfo_);
  Disconnect();
}

bool LineDatabase::Exec(const char* sql) {
  PGresult* r = PQexec(conn_, sql);
  const ExecStatusType status = PQresultStatus(r);
  PQclear(r);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
  Fail(PQerrorMessage(conn_));
  return false;
}

bool LineDatabase::Connect() {
  if (conn_ && PQstatus(conn_) == CONNECTION_OK) return true;
  Disconnect();
  // A server that does not answer must not hold the station up for long: a short connect time
  // limit unless the connection string sets one.
  bool has_timeout = false;
  char* parse_error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo_.c_str(), &parse_error);
  if (!options) {
    PQfreemem(parse_error);
    error_ = "the line database's connection string cannot be understood";
    return false;
  }
  for (PQconninfoOption* o = options; o->keyword; ++o) {
    if (o->val && std::string(o->keyword) == "connect_timeout") has_timeout = true;
  }
  PQconninfoFree(options);
  const char* keys[] = {"dbname", has_timeout ? nullptr : "connect_timeout", nullptr};
  const char* values[] = {conninfo_.c_str(), "3", nullptr};
  conn_ = PQconnectdbParams(keys, values, 1);
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    Fail(conn_ ? PQerrorMessage(conn_) : "out of memory");
    return false;
  }
  PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
  static const std::string schema = Schema();
  return Exec("BEGIN") && Exec(schema.c_str()) && Exec("COMMIT");
}

bool LineDatabase::Send(const Unsent& batch) {
  static const std::string kStepInsert = [] {
    std::string sql = "INSERT INTO tarvo_steps (uid, host, tool_version, edition, " +
                      StepColumnList() + ", slots) VALUES ($1";
    for (size_t i = 2; i <= 4 + StepColumns().size() + 1; ++i) sql += ", $" + std::to_string(i);
    return sql + ") ON CONFLICT (uid) DO NOTHING";
  }();
  if (!Connect()) return false;
  if (!Exec("BEGIN")) return false;
  std::string error;
  for (const StoredStep& s : batch.steps) {
    const StepRecord& r = s.record;
    nlohmann::json slots = nlohmann::json::array();
    for (const SlotResult& slot : r.slot_results) {
      slots.push_back({{"slot", slot.slot}, {"name", slot.name}, {"result", slot.result}});
    }
    std::vector<std::string> v = OriginValues(s.uid, s.origin);
    for (const StepValue& value : StepValues(r)) {
      v.push_back(std::holds_alternative<int64_t>(value) ? std::to_string(std::get<int64_t>(value))
                                                         : std::get<std::string>(value));
    }
    v.push_back(slots.dump());
    if (!Insert(conn_, kStepInsert.c_str(), v, &error)) {
      Fail(error);
      return false;
    }
  }
  for (const StoredJournal& s : batch.journal) {
    const JournalEntry& e = s.record;
    std::vector<std::string> v = OriginValues(s.uid, s.origin);
    for (std::string x : {e.operation, e.time, e.printer.model_code, e.printer.usb_serial,
                          e.printer.head_id, std::string(AreaName(e.area)), Bytea(e.before),
                          Bytea(e.written), Bytea(e.read_back), std::string(CheckName(e.check))}) {
      v.push_back(std::move(x));
    }
    if (!Insert(conn_,
                "INSERT INTO tarvo_journal (uid, host, tool_version, edition, operation, time, "
                "model_code, usb_serial, head_id, area, before_bytes, written_bytes, "
                "read_back_bytes, check_result) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, "
                "$10, $11, $12, $13, $14) ON CONFLICT (uid) DO NOTHING",
                v, &error)) {
      Fail(error);
      return false;
    }
  }
  for (const StoredDotWeight& s : batch.dot_weights) {
    const DotWeightRecord& m = s.record;
    std::vector<std::string> v = OriginValues(s.uid, s.origin);
    for (std::string x : {m.time, m.kind, nlohmann::json(m.weights).dump(),
                          nlohmann::json(m.average).dump(), nlohmann::json(m.low).dump(),
                          nlohmann::json(m.high).dump(), std::string(m.passed ? "true" : "false"),
                          m.printer.model_code, m.printer.usb_serial, m.printer.head_id}) {
      v.push_back(std::move(x));
    }
    if (!Insert(conn_,
                "INSERT INTO tarvo_dot_weights (uid, host, tool_version, edition, time, kind, "
                "weights, average, low, high, passed, model_code, usb_serial, head_id) VALUES "
                "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14) "
                "ON CONFLICT (uid) DO NOTHING",
                v, &error)) {
      Fail(error);
      return false;
    }
  }
  return Exec("COMMIT");
}

std::optional<int64_t> LineDatabase::Count(const std::string& table, bool distinct_uids) {
  if (table != "steps" && table != "journal" && table != "dot_weights") return std::nullopt;
  if (!Connect()) return std::nullopt;
  const std::string sql = std::string("SELECT count(") + (distinct_uids ? "DISTINCT uid" : "*") +
                          ") FROM tarvo_" + table;
  PGresult* r = PQexec(conn_, sql.c_str());
  std::optional<int64_t> out;
  if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
    out = std::stoll(PQgetvalue(r, 0, 0));
  } else {
    error_ = RedactSecrets(PQerrorMessage(conn_), conninfo_);
  }
  PQclear(r);
  return out;
}

}  // namespace tarvo::records
