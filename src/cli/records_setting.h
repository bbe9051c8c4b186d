#pragma once

#include <ostream>
#include <string>

#include "base/settings_store.h"

namespace tarvo::cli {

// The settings command's text setting "RecordsUrl" (the line database's URL), beside the printer
// option settings: "RecordsUrl=postgresql://..." stores it, "RecordsUrl=" clears it, and it is
// shown with its password blanked.
bool IsRecordsSetting(const std::string& word);
// kExitOk, or kExitUsage with what is wrong with the URL on `err` (never its password).
int CheckRecordsSetting(std::ostream& err, const std::string& word);
bool StoreRecordsSetting(SettingsStore& store, const std::string& word);
void PrintRecordsSetting(std::ostream& out, SettingsStore& store);

}  // namespace tarvo::cli
