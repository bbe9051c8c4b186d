#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Lowercase hex without blanks: {0x1c, 0x46} -> "1c46".
std::string ToHex(std::span<const uint8_t> bytes);
// The inverse; nothing for an odd length or a character that is not a hex digit.
std::optional<std::vector<uint8_t>> FromHex(std::string_view text);

}  // namespace tarvo
