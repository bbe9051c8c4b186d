#include "records/records_config.h"

#include <unistd.h>

#include <cstdlib>

namespace tarvo::records {

std::filesystem::path DefaultRecordsPath() {
  if (const char* dir = std::getenv("TARVO_DATA_DIR"); dir && *dir) {
    return std::filesystem::path(dir) / "records.sqlite";
  }
  return FileSettingsStore::DefaultPath().parent_path() / "records.sqlite";
}

std::string LineDatabaseUrl(SettingsStore& settings) {
  if (const char* url = std::getenv("TARVO_RECORDS_URL"); url && *url) return url;
  std::optional<std::vector<uint8_t>> value = settings.Read(kProgramKey, kRecordsUrlName);
  if (!value) return {};
  return std::string(value->begin(), value->end());
}

Origin ThisMachine(std::string_view tool_version, const Edition& edition) {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return {host, std::string(tool_version), std::string(edition.name)};
}

}  // namespace tarvo::records
