#include "station/about_box.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include <fstream>
#include <sstream>
#include <vector>

#include "model/printer_text.h"

namespace tarvo::station {
namespace {

constexpr size_t kValueLimit = 128;

// A value as read into a buffer of 128 bytes, cut where a UTF-8 character starts.
std::string Limited(std::string value) {
  if (value.size() <= kValueLimit) return value;
  size_t end = kValueLimit;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  value.resize(end);
  return value;
}

std::optional<std::string> NonEmpty(std::string value) {
  if (value.empty()) return std::nullopt;
  return Limited(std::move(value));
}

void AppendLatin1(std::string& out, uint8_t byte) {
  out += DecodePrinterText(std::span<const uint8_t>(&byte, 1));
}

// The bytes [from, from + n) of the record as characters; a zero byte is no character.
void AppendDigits(std::string& out, std::span<const uint8_t, kPrinterIdRecordSize> r, size_t from,
                  size_t n) {
  for (size_t i = from; i < from + n; ++i) {
    if (r[i] != 0) AppendLatin1(out, r[i]);
  }
}

// A shell-style value of an os-release line: quotes removed, backslash escapes undone.
std::string Unquote(std::string_view value) {
  std::string out;
  char quote = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (quote == 0 && (c == '"' || c == '\'')) {
      quote = c;
    } else if (c == quote) {
      quote = 0;
    } else if (c == '\\' && quote != '\'' && i + 1 < value.size()) {
      out += value[++i];
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> ReadOsRelease() {
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream file(path);
    if (!file) continue;
    std::ostringstream text;
    text << file.rdbuf();
    return OsReleaseName(text.str());
  }
  return std::nullopt;
}

#ifdef _WIN32
std::optional<std::string> ReadUserName() {
  char name[257] = {};
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size)) return std::nullopt;
  return NonEmpty(name);
}

std::optional<std::string> ReadHostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return std::nullopt;
  return NonEmpty(name);
}
#else
std::optional<std::string> ReadUserName() {
  std::vector<char> name(256);
  if (getlogin_r(name.data(), name.size()) == 0) return NonEmpty(name.data());
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return NonEmpty(found->pw_name);
  }
  return std::nullopt;
}

std::optional<std::string> ReadHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return std::nullopt;
  return NonEmpty(name);
}
#endif

}  // namespace

std::optional<std::string> OsReleaseName(std::string_view text) {
  std::optional<std::string> pretty, name;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string_view key = std::string_view(line).substr(0, eq);
    std::string value = Unquote(std::string_view(line).substr(eq + 1));
    if (key == "PRETTY_NAME") pretty = NonEmpty(value);
    if (key == "NAME") name = NonEmpty(value);
  }
  return pretty ? pretty : name;
}

SystemFacts ReadSystemFacts() {
  return {ReadOsRelease(), ReadUserName(), ReadHostName()};
}

AboutBox BuildAboutBox(std::span<const uint8_t, kPrinterIdRecordSize> r, const SystemFacts& facts) {
  AboutBox box;
  box.printer_name = "Printer Name: ";
  for (size_t i = 16; i < 24 && r[i] != 0; ++i) AppendLatin1(box.printer_name, r[i]);

  box.firmware_version = "Firmware Version: ";
  AppendDigits(box.firmware_version, r, 24, 1);
  box.firmware_version += ".";
  AppendDigits(box.firmware_version, r, 25, 3);

  box.firmware_issue_date = "Firmware Issue Date: ";
  AppendDigits(box.firmware_issue_date, r, 28, 4);
  box.firmware_issue_date += ".";
  AppendDigits(box.firmware_issue_date, r, 32, 2);
  box.firmware_issue_date += ".";
  AppendDigits(box.firmware_issue_date, r, 34, 2);
  AppendLatin1(box.firmware_issue_date, 0xFF);
  AppendDigits(box.firmware_issue_date, r, 36, 2);
  box.firmware_issue_date += ":";
  AppendDigits(box.firmware_issue_date, r, 38, 2);

  box.os_version = "OS Version: " + facts.os_name.value_or("");
  box.user_name = "User Name: " + facts.user_name.value_or("");
  box.computer_name = "Computer Name: " + facts.computer_name.value_or("");
  return box;
}

}  // namespace tarvo::station
