#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"

namespace tarvo {

// Print files go out in chunks read through one buffer, each written in pieces.
inline constexpr size_t kPrintChunkSize = 8'192'000;
inline constexpr size_t kPrintPieceSize = 4'096;

// What a send did, for tests and the benchmark.
struct SendStats {
  std::vector<size_t> chunks;  // bytes read per chunk
  size_t buffer_size = 0;      // the one buffer allocated (0: none)
  size_t writes = 0;           // pieces written
};

// Streams the file at `path` (relative names resolve against the station folder) to the
// printer's write pipe byte for byte, with no header, reading it to its end whatever size it
// gives. Done when the whole file was written. The operator is told, and nothing is sent, when
// the file cannot be opened, is no regular file (a folder, a named pipe, a device) or is empty;
// and when a write fails.
Outcome SendPrintFile(const Context& ctx, PrinterLink& link, const std::string& path,
                      SendStats* stats = nullptr);

// The file name of `count` characters at `chars` (a zero byte among them ends the name when the
// file is opened), sent with SendPrintFile. A count of 0 or less gives an empty name.
Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, std::span<const char> chars);

}  // namespace tarvo
