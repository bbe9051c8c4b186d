#pragma once

#include "records/sqlite_db.h"

namespace tarvo::records {

// The local records file's schema, kept in SQLite's user_version:
//   1  station steps with their slots, the EEPROM journal
//   2  dot-weight measurements; what has been sent to the line database
//   3  records the line database refused, set aside with its reason; the printer's fields as
//      the hex of their bytes beside their text
//   4  time stamps in UTC beside the local ones (those of older records made from them by this
//      machine's time zone); the steps' Machine No. and Machine ID
//   5  the station's identity on every record: station number (none outside a station run),
//      Belt Name, PC Name, Jig No. (older steps get their own station and settings)
inline constexpr int kSchemaVersion = 6;

// The version of an open file (0 for a new one).
int SchemaVersion(SqliteDb& db);

// Brings the file up to `version` (at most kSchemaVersion), one migration per transaction, so a
// file is always at one version or the next. False with db.error() set when a migration fails or
// the file is of a newer version than this tool knows.
bool MigrateTo(SqliteDb& db, int version = kSchemaVersion);

}  // namespace tarvo::records
