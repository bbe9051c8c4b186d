#include "cli/records_setting.h"

#include <optional>

#include "cli/command.h"
#include "records/records_config.h"

namespace tarvo::cli {
namespace {

std::string ValueOf(const std::string& word) {
  return word.substr(records::kRecordsUrlName.size() + 1);
}

}  // namespace

bool IsRecordsSetting(const std::string& word) {
  return word.starts_with(std::string(records::kRecordsUrlName) + "=");
}

int CheckRecordsSetting(std::ostream& err, const std::string& word) {
  const std::string url = ValueOf(word);
  if (url.empty()) return kExitOk;
  if (std::optional<std::string> problem = records::UrlProblem(url)) {
    err << "tarvo-cli: RecordsUrl: " << *problem << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

bool StoreRecordsSetting(SettingsStore& store, const std::string& word) {
  const std::string url = ValueOf(word);
  return store.Write(kProgramKey, records::kRecordsUrlName,
                     std::span(reinterpret_cast<const uint8_t*>(url.data()), url.size()));
}

void PrintRecordsSetting(std::ostream& out, SettingsStore& store) {
  const std::string url = records::RecordsUrlSetting(store);
  if (!url.empty()) out << records::kRecordsUrlName << "=" << records::ShownUrl(url) << "\n";
}

}  // namespace tarvo::cli
