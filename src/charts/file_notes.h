#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/context.h"
#include "base/input_file.h"

namespace tarvo {

// Notes that follow an operation's open-error text when a file is refused, saying what was
// wrong with it, in the edition's words. Each starts with a blank.

// What the name stood for instead of a regular file (" (a folder)"); nothing for a missing file
// or one that could not be opened.
std::string FileKindNote(const Context& ctx, FileKind kind);
// A file with nothing in it: there is nothing to send.
std::string EmptyFileNote(const Context& ctx);
// A file of `size` bytes where one of `wanted` bytes belongs (" (127 bytes, not 128)").
std::string FileSizeNote(const Context& ctx, uint64_t size, size_t wanted);
// A file that turned out longer than `wanted` bytes while its size said otherwise.
std::string FileTooLongNote(const Context& ctx, size_t wanted);

// Where a file named `name` was looked for, when the station folder (or the current directory)
// was searched for it: in the edition's message, a line naming the folder ("\nFolder searched:
// /srv/station"); otherwise nothing, and the folder goes to the context's notes. Nothing for an
// absolute name, which names its own folder.
std::string FolderNote(const Context& ctx, std::string_view name);

}  // namespace tarvo
