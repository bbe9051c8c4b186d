#include "model/printer_text.h"

namespace tarvo {

std::string DecodePrinterText(std::span<const uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (uint8_t b : bytes) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      out.push_back(static_cast<char>(0xC0 | b >> 6));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string DecodePrinterText(std::string_view bytes) {
  return DecodePrinterText(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::optional<std::vector<uint8_t>> EncodePrinterText(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) {
      out.push_back(b);
      continue;
    }
    // Only the two-byte forms of U+0080 to U+00FF (lead bytes 0xC2, 0xC3) fit one byte.
    if ((b != 0xC2 && b != 0xC3) || i + 1 >= text.size()) return std::nullopt;
    const auto next = static_cast<uint8_t>(text[i + 1]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    out.push_back(static_cast<uint8_t>((b & 0x03) << 6 | (next & 0x3F)));
    ++i;
  }
  return out;
}

bool FitsPrinterText(std::string_view text) {
  return EncodePrinterText(text).has_value();
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<uint8_t>(text[i]);
    size_t n = 0;
    uint32_t c = 0;
    if (b < 0x80) {
      ++i;
      continue;
    }
    if ((b & 0xE0) == 0xC0) {
      n = 1;
      c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      n = 2;
      c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      n = 3;
      c = b & 0x07;
    } else {
      return false;
    }
    if (i + n >= text.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

std::string AsText(std::string_view text) {
  return IsUtf8(text) ? std::string(text) : DecodePrinterText(text);
}

}  // namespace tarvo
