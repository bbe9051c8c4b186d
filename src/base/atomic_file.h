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

// What the writers of `path` lock (file_ops::ExclusiveLock) around ReplaceLockedFile: where the
// system has unnamed files, the folder, as "<path>.lock" serves the replacement there; elsewhere
// the file "<path>.lock".
std::filesystem::path WriterLock(const std::filesystem::path& path);

// Replaces `path` by `bytes` as WriteFileAtomically does, for a writer that holds the lock of
// WriterLock(path). Where the system has unnamed files the new text never has a name of its own,
// so a writer killed at any moment leaves nothing behind: it is written to an unnamed file, which
// takes the name "<path>.lock" and then trades names with `path` (so "<path>.lock" is left holding
// the text replaced, or, after a writer was killed, one that never took effect). Elsewhere it is
// WriteFileAtomically.
bool ReplaceLockedFile(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                       std::string* why = nullptr);

// Removes the temporaries "<path>.tmp<pid>" that writers killed half-way left behind: those of
// processes that no longer run.
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Whether WriteFileAtomically could write `path` now: its folder exists and takes new files, and
// `path` is no folder. Leaves nothing behind. *why says what is wrong.
bool CanWriteFileAtomically(const std::filesystem::path& path, std::string* why);

}  // namespace tarvo
