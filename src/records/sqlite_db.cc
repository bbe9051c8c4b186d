#include "records/sqlite_db.h"

namespace tarvo::records {

SqliteDb::~SqliteDb() {
  Close();
}

void SqliteDb::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool SqliteDb::Open(const std::string& path) {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    error_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (db) sqlite3_close_v2(db);
    return false;
  }
  db_ = db;
  // Another station program or tarvo-cli may be writing the same file: wait for it a little.
  sqlite3_busy_timeout(db_, 5000);
  return true;
}

bool SqliteDb::OpenReadOnly(const std::string& path) {
  Close();
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    error_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if (db) sqlite3_close_v2(db);
    return false;
  }
  db_ = db;
  sqlite3_busy_timeout(db_, 5000);
  return true;
}

bool SqliteDb::Exec(std::string_view sql) {
  if (!db_) return false;
  char* message = nullptr;
  const std::string text(sql);
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
  }
  return true;
}

bool SqliteDb::FoundDamage() const {
  if (!db_) return false;
  const int code = sqlite3_errcode(db_);
  return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

int64_t SqliteDb::LastInsertId() const {
  return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

SqliteStatement::SqliteStatement(SqliteDb& db, std::string_view sql) : db_(db) {
  if (!db.handle()) {
    failed_ = true;
    return;
  }
  if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
      SQLITE_OK) {
    db.SetError(sqlite3_errmsg(db.handle()));
    stmt_ = nullptr;
    failed_ = true;
  }
}

SqliteStatement::~SqliteStatement() {
  if (stmt_) sqlite3_finalize(stmt_);
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double value) {
  if (stmt_) sqlite3_bind_double(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (stmt_) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::span<const uint8_t> bytes) {
  if (!stmt_) return *this;
  // An empty blob is stored as an empty blob, not as NULL.
  static const uint8_t kNothing = 0;
  sqlite3_bind_blob(stmt_, index, bytes.empty() ? &kNothing : bytes.data(),
                    static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  if (stmt_) sqlite3_bind_null(stmt_, index);
  return *this;
}

bool SqliteStatement::Step() {
  if (!stmt_) return false;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    failed_ = true;
    db_.SetError(sqlite3_errmsg(db_.handle()));
  }
  return false;
}

bool SqliteStatement::Run() {
  while (Step()) {
  }
  return !failed_;
}

void SqliteStatement::Reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  failed_ = false;
}

int64_t SqliteStatement::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::Real(int column) const {
  return sqlite3_column_double(stmt_, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
              : std::string();
}

std::vector<uint8_t> SqliteStatement::Blob(int column) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) {
  begun_ = db_.Exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
  if (begun_ && !done_) db_.Exec("ROLLBACK");
}

bool SqliteTransaction::Commit() {
  if (!begun_ || done_) return false;
  done_ = db_.Exec("COMMIT");
  return done_;
}

int SqliteStatement::ColumnCount() const {
  return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = stmt_ ? sqlite3_column_name(stmt_, column) : nullptr;
  return name ? name : "";
}

int SqliteStatement::ColumnType(int column) const {
  return sqlite3_column_type(stmt_, column);
}

}  // namespace tarvo::records
