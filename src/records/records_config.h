#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/edition.h"
#include "base/settings_store.h"
#include "records/local_store.h"

namespace tarvo::records {

// The machine's records file: $TARVO_DATA_DIR/records.sqlite, else beside the settings
// ($TARVO_CONFIG_DIR, else /var/lib/tarvo).
std::filesystem::path DefaultRecordsPath();

// The settings value that holds the line database's connection string (text), under the
// program's key.
inline constexpr std::string_view kRecordsUrlName = "RecordsUrl";

// The line database's connection string: $TARVO_RECORDS_URL, else the settings value; empty
// when neither is set.
std::string LineDatabaseUrl(SettingsStore& settings);

// This machine's host name with the tool's version and edition.
Origin ThisMachine(std::string_view tool_version, const Edition& edition);

}  // namespace tarvo::records
