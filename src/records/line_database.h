#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "records/local_store.h"

struct pg_conn;

namespace tarvo::records {

// The line's PostgreSQL database, shared by the stations of a line. Records arrive with the id
// they were given where they were made and are taken once: sending a record again (after a
// connection lost between the server's commit and the station's note of it) adds nothing.
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

  // Connects (when not connected) and creates the tables when missing. False with error() set.
  bool Connect();
  bool connected() const { return conn_ != nullptr; }
  void Disconnect();

  // Sends the batch in one transaction. False with error() set (the connection is then dropped,
  // and the next Connect tries afresh).
  bool Send(const Unsent& batch);

  // Rows in the line database's table of steps, journal entries or dot weights ("steps",
  // "journal", "dot_weights"); and how many distinct ids among them.
  std::optional<int64_t> Count(const std::string& table, bool distinct_uids = false);

  const std::string& error() const { return error_; }

 private:
  bool Exec(const char* sql);
  void Fail(const std::string& what);

  std::string conninfo_;
  pg_conn* conn_ = nullptr;
  std::string error_;
};

// `text` with every secret of `conninfo` (its password, and the whole string itself) blanked
// out, for error messages that may quote either.
std::string RedactSecrets(std::string text, const std::string& conninfo);

}  // namespace tarvo::records
