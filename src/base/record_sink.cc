#include "base/record_sink.h"

#include <cstdio>

namespace tarvo {

std::string_view AreaName(EepromArea area) {
  return area == EepromArea::kHeadBlock ? "head block" : "rom image";
}

std::string_view CheckName(WriteCheck check) {
  switch (check) {
    case WriteCheck::kVerified:
      return "verified";
    case WriteCheck::kMismatch:
      return "mismatch";
    case WriteCheck::kNotChecked:
      break;
  }
  return "not checked";
}

std::string IsoTime(const std::tm& t) {
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

std::string UtcIsoTime(const std::tm& local) {
  std::tm t = local;
  t.tm_isdst = -1;
  const std::time_t when = std::mktime(&t);
  std::tm utc{};
  if (when == static_cast<std::time_t>(-1)) return {};
#ifdef _WIN32
  // msvcrt's re-entrant call, under its own name and with its arguments the other way round.
  if (gmtime_s(&utc, &when) != 0) return {};
#else
  if (!gmtime_r(&when, &utc)) return {};
#endif
  return IsoTime(utc) + "Z";
}

void RecordSink::BeginOperation(std::string_view name) {
  operation_ = name;
  seen_ = {};
}

}  // namespace tarvo
