#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo::station {

// What the About box tells of the machine it runs on. A fact that cannot be read is missing, and
// its line then shows its label alone.
struct SystemFacts {
  std::optional<std::string> os_name;        // the system's release name
  std::optional<std::string> user_name;      // the logged-in user
  std::optional<std::string> computer_name;  // the host name
};

// Reads the facts: the release name from /etc/os-release (else /usr/lib/os-release), the user
// from the login record (else the account of the process's user), the host name. Each value is
// cut to 128 bytes.
SystemFacts ReadSystemFacts();

// The release name in the text of an os-release file: PRETTY_NAME, else NAME; quotes and
// backslash escapes removed. Nothing when neither is there.
std::optional<std::string> OsReleaseName(std::string_view text);

// The printer identification record the three printer lines come from: bytes 16-23 the printer
// name, 24-27 the firmware version digits, 28-39 the issue date and time digits (year 4, month 2,
// day 2, hour 2, minute 2). Zero bytes stand for characters that are not there.
inline constexpr size_t kPrinterIdRecordSize = 40;
using PrinterIdRecord = std::array<uint8_t, kPrinterIdRecordSize>;

// The About box (100 "About Tarvo") as the program shows it: two fixed lines and six built ones.
struct AboutBox {
  static constexpr std::string_view kCaption = "About Tarvo";
  static constexpr std::string_view kFtVersion = "FT Version 0.0.7.5";
  static constexpr std::string_view kNotice =
      "Production-line and service tool for the printer family";

  std::string printer_name;         // "Printer Name: ..."
  std::string firmware_version;     // "Firmware Version: d1.d2d3d4"
  std::string firmware_issue_date;  // "Firmware Issue Date: yyyy.mm.dd\xFFhh:mm"
  std::string os_version;           // "OS Version: ..."
  std::string user_name;            // "User Name: ..."
  std::string computer_name;        // "Computer Name: ..."

  // The six lines top to bottom: the three printer lines, the user, the system, the computer.
  std::array<std::string, 6> Lines() const {
    return {printer_name, firmware_version, firmware_issue_date,
            user_name,    os_version,       computer_name};
  }
};

// Builds the six lines. The printer's characters are single-byte (Latin-1) text shown as UTF-8,
// so the byte 0xFF between the issue date and time reads as "ÿ".
AboutBox BuildAboutBox(std::span<const uint8_t, kPrinterIdRecordSize> record,
                       const SystemFacts& facts);

}  // namespace tarvo::station
