#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::records {

// A thin owner of one SQLite connection and its prepared statements. Errors are values: a
// statement that fails leaves `error()` set and returns false; nothing throws.
class SqliteDb {
 public:
  SqliteDb() = default;
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  // Opens (creating when missing) the file. False with error() set when it cannot be opened.
  bool Open(const std::string& path);
  // Opens an existing file for reading only.
  bool OpenReadOnly(const std::string& path);
  void Close();
  bool is_open() const { return db_ != nullptr; }
  sqlite3* handle() { return db_; }

  // Runs one or more statements that return no rows.
  bool Exec(std::string_view sql);
  const std::string& error() const { return error_; }
  void SetError(std::string text) { error_ = std::move(text); }
  // Whether the last failure was SQLite finding the file damaged or no database at all.
  bool FoundDamage() const;
  int64_t LastInsertId() const;

 private:
  sqlite3* db_ = nullptr;
  std::string error_;
};

// One prepared statement. Bind by position (from 1), Step() until it gives false.
class SqliteStatement {
 public:
  SqliteStatement(SqliteDb& db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& Bind(int index, double value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindBlob(int index, std::span<const uint8_t> bytes);
  SqliteStatement& BindNull(int index);

  // True while there is a row; false at the end or on an error (then `failed()` tells).
  bool Step();
  // Runs a statement that returns no rows; false on an error.
  bool Run();
  bool failed() const { return failed_; }
  void Reset();

  int64_t Int(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;
  std::vector<uint8_t> Blob(int column) const;
  bool IsNull(int column) const;
  int ColumnCount() const;
  std::string ColumnName(int column) const;
  int ColumnType(int column) const;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, ...

 private:
  SqliteDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
  bool failed_ = false;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when not committed.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDb& db);
  ~SqliteTransaction();
  bool ok() const { return begun_; }
  bool Commit();

 private:
  SqliteDb& db_;
  bool begun_ = false;
  bool done_ = false;
};

}  // namespace tarvo::records
