#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "records/local_store.h"

struct pg_conn;
struct pg_result;

namespace tarvo::records {

// The roles an administrator's setup makes: the stations' (insert only) and the reports'
// (read only). Group roles without login; each station logs in as a role of its own in the
// stations' role.
inline constexpr const char* kStationRole = "tarvo_station";
inline constexpr const char* kReaderRole = "tarvo_reader";

// What kept records from the line database.
enum class LineProblem {
  kNone,
  kUnreachable,  // no connection, or it was lost
  kPermission,   // the station's role may not insert
  kNoTables,     // the database has no Tarvo tables, or older ones: setup-db was not run
  kRefused,      // one record refused for its content (refused() tells which)
  kOther,
};

// The line's PostgreSQL database, shared by the stations of a line. Records arrive with the id
// they were given where they were made and are taken once: sending a record again (after a
// connection lost between the server's commit and the station's note of it) adds nothing.
//
// Stations only insert: the tables and the roles are made once by an administrator (Setup,
// "tarvo-cli records setup-db"), so a station's role needs no more than INSERT.
//
// The connection string is a secret: it never appears in error() or anywhere else this class
// writes, nor does the password it may hold.
class LineDatabase {
 public:
  // `conninfo`: a libpq connection string or URI ("host=/run/pg dbname=line",
  // "postgresql://station@db/line").
  explicit LineDatabase(std::string conninfo);
  ~LineDatabase();
  LineDatabase(const LineDatabase&) = delete;
  LineDatabase& operator=(const LineDatabase&) = delete;

  // How long a connection attempt may take when the connection string sets no connect_timeout,
  // and how long the server may take over one statement; past these the connection is dropped
  // and the call fails as unreachable, so a server that accepts and never answers holds nobody.
  void set_limits(int connect_ms, int statement_ms) {
    connect_ms_ = connect_ms;
    statement_ms_ = statement_ms;
  }
  // A descriptor that, once readable, ends every wait for the server at once: the call fails as
  // unreachable and cancelled() tells it was this. -1: none.
  void set_cancel_fd(int fd) { cancel_fd_ = fd; }
  bool cancelled() const { return cancelled_; }

  // Connects when not connected. False with error() set.
  bool Connect();
  bool connected() const { return conn_ != nullptr; }
  void Disconnect();

  // Sends the batch in one transaction. False with problem() and error() set; a record refused
  // for its content is named by refused() (nothing of the batch is then kept; the connection
  // stays), for any other problem the connection is dropped and the next Connect tries afresh.
  bool Send(const Unsent& batch);
  LineProblem problem() const { return problem_; }
  const std::optional<SetAsideRecord>& refused() const { return refused_; }

  // Connects and makes sure the tables are there and this role may insert into each. False with
  // problem() and error() set.
  bool Check();

  // The administrator's setup, as the database's owner: the tables and their indexes (made when
  // missing, columns added to older tables), the stations' and the reports' roles (made when
  // missing, needing CREATEROLE) and their grants. One transaction; run again after an upgrade.
  bool Setup();

  // Rows in the line database's table of steps, journal entries or dot weights ("steps",
  // "journal", "dot_weights"); and how many distinct ids among them.
  std::optional<int64_t> Count(const std::string& table, bool distinct_uids = false);

  const std::string& error() const { return error_; }

 private:
  bool Exec(const char* sql);
  // Sends one query (`values` with `count` parameters, or none when count < 0) and waits for its
  // results within the statement limit; the first failed result, else the last one; nullptr
  // when the wait ended or the connection failed (wait_problem_ or the connection's error).
  pg_result* Run(const std::string& sql, int count = -1, const char* const* values = nullptr);
  // Waits until the connection's socket is ready for `events` or `deadline_ms` (steady clock)
  // passes; false, with wait_problem_ set, when it passed or the wait was cancelled.
  bool Wait(short events, int64_t deadline_ms, const char* what);
  void Fail(const std::string& what);
  bool Failed(pg_result* result, RecordKind kind, int64_t id, const std::string& uid);

  std::string conninfo_;
  pg_conn* conn_ = nullptr;
  std::string error_;
  LineProblem problem_ = LineProblem::kNone;
  std::optional<SetAsideRecord> refused_;
  int connect_ms_ = 3000;
  int statement_ms_ = 20000;
  static constexpr int kSetupStatementMs = 60 * 60 * 1000;
  int cancel_fd_ = -1;
  bool cancelled_ = false;
  std::string wait_problem_;
};

// The administrator's setup as SQL, for psql: what Setup runs.
std::string SetupSql();

// `text` with every secret of `conninfo` (its password, and the whole string itself) blanked
// out, for error messages that may quote either.
std::string RedactSecrets(std::string text, const std::string& conninfo);
// `text` with the password of `conninfo` blanked out, as written there (in a URL's user
// information or after "password=") and as libpq reads it.
std::string BlankPassword(std::string text, const std::string& conninfo);

}  // namespace tarvo::records
