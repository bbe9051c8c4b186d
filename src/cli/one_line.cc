#include "cli/one_line.h"

#include <cstdint>
#include <cstdio>

#include "model/printer_text.h"

namespace tarvo::cli {
namespace {

std::string Escape(uint8_t byte) {
  switch (byte) {
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    case '\\':
      return "\\\\";
    default:
      break;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02x", byte);
  return hex;
}

}  // namespace

std::string OneLine(std::string_view text) {
  const bool utf8 = IsUtf8(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x20 || b == 0x7F || b == '\\' || (!utf8 && b >= 0x80)) {
      out += Escape(b);
    } else if (b == 0xC2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) < 0xA0) {
      // U+0080 ... U+009F, the C1 controls: their printer byte.
      out += Escape(static_cast<uint8_t>(text[++i]));
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

}  // namespace tarvo::cli
