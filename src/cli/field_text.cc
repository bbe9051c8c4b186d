#include "cli/field_text.h"

#include <cstdio>
#include <iomanip>
#include <sstream>

#include "model/printer_text.h"

namespace tarvo::cli {

std::string Quoted(std::string_view chars) {
  std::string out = "\"";
  for (char c : chars) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 0x20 && b < 0x7F && c != '"' && c != '\\') || b >= 0xA0) {
      out += DecodePrinterText(std::string_view(&c, 1));
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02x", b);
      out += esc;
    }
  }
  return out + "\"";
}

std::string FieldValue(std::span<const uint8_t> bytes, const RomField& f) {
  std::ostringstream s;
  switch (f.type) {
    case FieldType::kChars:
      return Quoted(GetChars(bytes, f));
    case FieldType::kFloat:
      s << GetFloat(bytes, f);
      return s.str();
    case FieldType::kSigned:
    case FieldType::kUnsigned:
      return std::to_string(GetInt(bytes, f));
    case FieldType::kUnnamed:
      break;
  }
  s << std::hex << std::setfill('0');
  for (size_t i = 0; i < f.size; ++i)
    s << (i ? " " : "") << std::setw(2) << int{bytes[f.offset + i]};
  return s.str();
}

std::string OffsetText(const RomField& f) {
  char offset[8];
  std::snprintf(offset, sizeof offset, "0x%02x", f.offset);
  return offset;
}

void PrintFields(std::ostream& out, std::span<const uint8_t> bytes) {
  for (const RomField& f : RomFields()) {
    if (f.offset + f.size > bytes.size()) break;
    out << OffsetText(f) << " " << (f.name.empty() ? "(unnamed)" : f.name) << " = "
        << FieldValue(bytes, f) << "\n";
  }
}

}  // namespace tarvo::cli
