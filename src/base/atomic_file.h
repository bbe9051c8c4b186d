#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace tarvo {

// Writes `bytes` to `path` so that the file is either the old one or the whole new one, never a
// part: a temporary file beside it, flushed, then renamed over it. Returns false on any failure,
// leaving the old file as it was.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace tarvo
