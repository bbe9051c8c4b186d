#include "base/record_sink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tarvo {
namespace {

// The time zone of the process, set under each system's names; empty unsets it.
void SetZone(const std::string& zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone.c_str());
  _tzset();
#else
  if (zone.empty()) {
    unsetenv("TZ");
  } else {
    setenv("TZ", zone.c_str(), 1);
  }
  tzset();
#endif
}

TEST(RecordSinkTimeTest, LocalTimeIsGivenInUtcWithItsZone) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  SetZone("CET-1");
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 0;
  local.tm_mday = 1;
  local.tm_hour = 0;
  local.tm_min = 30;
  EXPECT_EQ(IsoTime(local), "2026-01-01T00:30:00");
  EXPECT_EQ(UtcIsoTime(local), "2025-12-31T23:30:00Z");  // the day before, in UTC
  SetZone(saved);
}

}  // namespace
}  // namespace tarvo
