#pragma once

#include <filesystem>
#include <optional>
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

// The line database's connection string: $TARVO_RECORDS_URL, else the settings value (stored
// as the hex of its text, or written by hand into the settings file as the text itself); empty
// when neither is set.
std::string LineDatabaseUrl(SettingsStore& settings);
// The settings value alone.
std::string RecordsUrlSetting(SettingsStore& settings);

// What is wrong with a connection string (URL or key/value form), naming the part, never the
// password; nothing when libpq can take it.
std::optional<std::string> UrlProblem(const std::string& url);

// The connection string with its password blanked ("postgresql://station01:***@db/line"), to be
// shown.
std::string ShownUrl(const std::string& url);

// This machine's host name with the tool's version and edition.
Origin ThisMachine(std::string_view tool_version, const Edition& edition);

}  // namespace tarvo::records
