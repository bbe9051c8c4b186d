#include "records/schema.h"

#include <string>

namespace tarvo::records {
namespace {

// Each migration takes the file from the version before it to its own. Never change one that
// has shipped: add the next.
constexpr const char* kMigrations[] = {
    // 1
    R"sql(
CREATE TABLE steps (
  id INTEGER PRIMARY KEY,
  uid TEXT NOT NULL UNIQUE,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
  station INTEGER NOT NULL,
  position INTEGER NOT NULL,
  text TEXT NOT NULL,
  started TEXT NOT NULL,
  ended TEXT NOT NULL,
  total INTEGER NOT NULL,
  model_code TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  head_id TEXT NOT NULL,
  tof INTEGER NOT NULL,
  ms1 INTEGER NOT NULL,
  ms2 INTEGER NOT NULL,
  vsd INTEGER NOT NULL,
  ecn INTEGER NOT NULL,
  destination TEXT NOT NULL,
  belt TEXT NOT NULL,
  pc TEXT NOT NULL,
  jig TEXT NOT NULL
);
CREATE TABLE step_slots (
  step_id INTEGER NOT NULL REFERENCES steps(id),
  slot INTEGER NOT NULL,
  name TEXT NOT NULL,
  result INTEGER NOT NULL,
  PRIMARY KEY (step_id, slot)
);
CREATE TABLE journal (
  id INTEGER PRIMARY KEY,
  uid TEXT NOT NULL UNIQUE,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
  operation TEXT NOT NULL,
  time TEXT NOT NULL,
  model_code TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  head_id TEXT NOT NULL,
  area TEXT NOT NULL,
  before_bytes BLOB NOT NULL,
  written_bytes BLOB NOT NULL,
  read_back_bytes BLOB NOT NULL,
  check_result TEXT NOT NULL
);
)sql",
    // 2
    R"sql(
CREATE TABLE dot_weights (
  id INTEGER PRIMARY KEY,
  uid TEXT NOT NULL UNIQUE,
  host TEXT NOT NULL,
  tool_version TEXT NOT NULL,
  edition TEXT NOT NULL,
  time TEXT NOT NULL,
  kind TEXT NOT NULL,
  weights TEXT NOT NULL,
  average REAL NOT NULL,
  low REAL NOT NULL,
  high REAL NOT NULL,
  passed INTEGER NOT NULL,
  model_code TEXT NOT NULL,
  usb_serial TEXT NOT NULL,
  head_id TEXT NOT NULL,
  sent INTEGER NOT NULL DEFAULT 0
);
ALTER TABLE steps ADD COLUMN sent INTEGER NOT NULL DEFAULT 0;
ALTER TABLE journal ADD COLUMN sent INTEGER NOT NULL DEFAULT 0;
CREATE INDEX steps_by_serial ON steps(usb_serial);
CREATE INDEX journal_by_serial ON journal(usb_serial);
CREATE INDEX steps_unsent ON steps(sent) WHERE sent = 0;
CREATE INDEX journal_unsent ON journal(sent) WHERE sent = 0;
CREATE INDEX dot_weights_unsent ON dot_weights(sent) WHERE sent = 0;
)sql",
    // 3
    R"sql(
ALTER TABLE steps ADD COLUMN set_aside TEXT;
ALTER TABLE steps ADD COLUMN model_code_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN usb_serial_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN head_id_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN set_aside TEXT;
ALTER TABLE journal ADD COLUMN model_code_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN usb_serial_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN head_id_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN set_aside TEXT;
ALTER TABLE dot_weights ADD COLUMN model_code_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN usb_serial_hex TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN head_id_hex TEXT NOT NULL DEFAULT '';
)sql",
    // 4
    R"sql(
ALTER TABLE steps ADD COLUMN started_utc TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN ended_utc TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN machine_no TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN machine_id TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN time_utc TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN time_utc TEXT NOT NULL DEFAULT '';
UPDATE steps SET
  started_utc = coalesce(strftime('%Y-%m-%dT%H:%M:%SZ', started, 'utc'), ''),
  ended_utc = coalesce(strftime('%Y-%m-%dT%H:%M:%SZ', ended, 'utc'), '');
UPDATE journal SET time_utc = coalesce(strftime('%Y-%m-%dT%H:%M:%SZ', time, 'utc'), '');
UPDATE dot_weights SET time_utc = coalesce(strftime('%Y-%m-%dT%H:%M:%SZ', time, 'utc'), '');
)sql",
    // 5
    R"sql(
ALTER TABLE steps ADD COLUMN station_no INTEGER;
ALTER TABLE steps ADD COLUMN belt_name TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN pc_name TEXT NOT NULL DEFAULT '';
ALTER TABLE steps ADD COLUMN jig_no TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN station_no INTEGER;
ALTER TABLE journal ADD COLUMN belt_name TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN pc_name TEXT NOT NULL DEFAULT '';
ALTER TABLE journal ADD COLUMN jig_no TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN station_no INTEGER;
ALTER TABLE dot_weights ADD COLUMN belt_name TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN pc_name TEXT NOT NULL DEFAULT '';
ALTER TABLE dot_weights ADD COLUMN jig_no TEXT NOT NULL DEFAULT '';
UPDATE steps SET station_no = station, belt_name = belt, pc_name = pc, jig_no = jig;
)sql",
    // 6: the dashboard's date ranges over one machine's file
    R"sql(
CREATE INDEX steps_by_started ON steps(started);
CREATE INDEX dot_weights_by_time ON dot_weights(time);
)sql",
};

static_assert(std::size(kMigrations) == kSchemaVersion);

}  // namespace

int SchemaVersion(SqliteDb& db) {
  SqliteStatement q(db, "PRAGMA user_version");
  return q.Step() ? static_cast<int>(q.Int(0)) : -1;
}

bool MigrateTo(SqliteDb& db, int version) {
  const int now = SchemaVersion(db);
  if (now < 0) return false;
  if (now > kSchemaVersion) {
    db.SetError("the records file is of schema version " + std::to_string(now) +
                ", newer than this tool's " + std::to_string(kSchemaVersion));
    return false;
  }
  for (int v = now + 1; v <= version && v <= kSchemaVersion; ++v) {
    SqliteTransaction t(db);
    if (!t.ok()) return false;
    // A second process may have migrated meanwhile.
    if (SchemaVersion(db) >= v) continue;
    if (!db.Exec(kMigrations[v - 1]) || !db.Exec("PRAGMA user_version = " + std::to_string(v)) ||
        !t.Commit()) {
      return false;
    }
  }
  return true;
}

}  // namespace tarvo::records
