#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Printer text: the EEPROM, the chart label record and the print files hold characters of one
// byte each, read as Latin-1 (0xFF is 'ÿ'). People see text as UTF-8. Every text that goes from
// the printer to a person passes DecodePrinterText, and every text a person types for the printer
// passes EncodePrinterText, so a field never takes a character that does not fit one byte and
// never holds half of one.

// Each byte as its Latin-1 character, in UTF-8. Zero bytes are kept as they are.
std::string DecodePrinterText(std::span<const uint8_t> bytes);
std::string DecodePrinterText(std::string_view bytes);

// The bytes of a UTF-8 text, one per character; nothing when the text is not UTF-8 or holds a
// character beyond U+00FF.
std::optional<std::vector<uint8_t>> EncodePrinterText(std::string_view text);

// Whether EncodePrinterText takes `text`.
bool FitsPrinterText(std::string_view text);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF).
bool IsUtf8(std::string_view text);

// `text` when it is UTF-8, else its bytes as printer text: what older records kept of a printer
// field as raw bytes, made readable.
std::string AsText(std::string_view text);

}  // namespace tarvo
