#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tarvo {

// Writes `bytes` to `path` so that the file is either the old one or the whole new one, never a
// part. The new text is written and flushed to a file without a name in the same folder, given
// the name "<path>.tmp<pid>" only for the moment before it is renamed over `path`; where the file
// system has no unnamed files the temporary is named from the start. Returns false on any failure
// (with *why set when given), leaving the old file as it was.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string* why = nullptr);

// Removes the temporaries "<path>.tmp<pid>" that writers killed half-way left behind: those of
// processes that no longer run.
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Whether WriteFileAtomically could write `path` now: its folder exists and takes new files, and
// `path` is no folder. Leaves nothing behind. *why says what is wrong.
bool CanWriteFileAtomically(const std::filesystem::path& path, std::string* why);

}  // namespace tarvo
