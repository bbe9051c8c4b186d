#include "charts/header_page.h"

#include <cstdlib>

#include "model/destinations.h"
#include "model/rom_layout.h"

namespace tarvo {
namespace {

// A field's bytes one by one, each zero byte printed as a blank.
std::string CharacterForm(std::span<const uint8_t> bytes) {
  std::string out;
  for (uint8_t b : bytes) out.push_back(b == 0 ? ' ' : static_cast<char>(b));
  return out;
}

int SignedByte(uint8_t b) {
  return static_cast<int8_t>(b);
}

}  // namespace

std::string TwoDigits(int x) {
  return {static_cast<char>('0' + x / 10), static_cast<char>('0' + x % 10)};
}

std::string DestinationLineText(std::span<const uint8_t> model_name) {
  if (model_name.size() < 3) return "";
  char first = static_cast<char>(model_name[0]);
  char second = static_cast<char>(model_name[1]);
  char third = static_cast<char>(model_name[2]);
  if (first != '0') return std::string(7, ' ');
  std::string code;
  switch (second) {
    case '0':
      code = "001";
      break;
    case '1':
      code = "012";
      break;
    case '2':
      code = "021";
      break;
    case '5':
      code = "051";
      break;
    case '6':
      code = "061";
      break;
    case '3':
      code = third == '1' ? "031" : "032";
      break;
    case '4':
      if (third >= '1' && third <= '6') code = std::string("04") + third;
      break;
    default:
      break;
  }
  for (const Destination& row : Destinations()) {
    if (!code.empty() && row.code == code) return std::string(row.text);
  }
  return "";
}

std::vector<uint8_t> BuildHeaderPage(const Edition& edition, const HeaderInputs& in) {
  const bool multi_line = in.layout == 1;
  const std::string sep2 = multi_line ? "\r\n" : "  ";
  const std::string sep1 = multi_line ? "\r\n" : " ";
  const auto& head = in.head;
  const auto& label = in.chart_label;
  std::string status = in.status;
  status.resize(6, ' ');

  std::string text = "\x1b@\x1bU\x01";
  text += "[No." + CharacterForm(label.machine_no) + "][" + CharacterForm(label.jig_no) + " " +
          TwoDigits(SignedByte(label.chart_prints)) + " " +
          TwoDigits(SignedByte(label.ink_charges)) + " " +
          TwoDigits(SignedByte(label.nozzle_cleanings)) + "]" + sep2;

  if (edition.header_names_firmware) {
    text += "FW/FT=" + in.firmware.value_or("") + "/" + in.library_version + sep2;
  } else {
    std::string version = in.program_version;
    for (char& c : version) c = c == '\0' ? ' ' : c;
    text += "Program:" + version + sep2;
  }

  text += TwoDigits(in.time.tm_mday) + "-" + TwoDigits(in.time.tm_mon + 1) + "-20" +
          TwoDigits(in.time.tm_year + 1900 - 2000) + "  " + TwoDigits(in.time.tm_hour) + ":" +
          TwoDigits(in.time.tm_min);
  text += "  ST=" + status.substr(0, 2) + "\r\n";

  static constexpr struct {
    const char* label;
    uint8_t offset;
  } kBid[] = {{"MS1=", kMs1AdjustOffset},
              {"MS2=", kMs2AdjustOffset},
              {"VSD=", kVsdAdjustOffset},
              {"ECN=", kEcnAdjustOffset}};
  for (size_t i = 0; i < std::size(kBid); ++i) {
    int v = SignedByte(head[kBid[i].offset]);
    if (i > 0) text += " / ";
    text += std::string(kBid[i].label) + (v < 0 ? '-' : ' ') + TwoDigits(std::abs(v));
  }
  text += sep1;

  int tof = SignedByte(head[kTofAdjustOffset]) * 25;
  int abs_tof = std::abs(tof);
  char sign = tof < 0 ? '-' : tof == 0 ? ' ' : '+';
  if (edition.reports_ink_system) {
    text += std::string("TOP=") + sign + static_cast<char>('0' + abs_tof / 100) +
            " TCL=" + status.substr(2, 2) + "/" + status.substr(4, 2) + "\r\n";
  } else {
    text += std::string("TOP Adjust=") + sign + static_cast<char>('0' + abs_tof / 100) +
            static_cast<char>('0' + abs_tof % 100 / 10) + static_cast<char>('0' + abs_tof % 10) +
            "\r\n";
  }

  text += "[" + DestinationLineText(std::span(head).subspan(kModelNameOffset, 3)) + "]" + sep1;
  text += "HeadID=" + CharacterForm(std::span(head).subspan(kHeadIdOffset, kHeadIdSize)) +
          "  USBID=" + CharacterForm(std::span(head).subspan(kUsbSerialNoOffset, 18));
  return {text.begin(), text.end()};
}

}  // namespace tarvo
