#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/context.h"
#include "base/record_sink.h"

namespace tarvo {

// The EEPROM access's side of the records: every read tells the context's record sink what the
// printer holds, and every write of the head data block or the ROM data image is journalled
// with what the operation had read of it before. Nothing is sent to the printer for it. Without
// a record sink in the context all of it does nothing.

// `bytes` were read from EEPROM offset `start` onwards.
void NoteEepromRead(const Context& ctx, uint8_t start, std::span<const uint8_t> bytes);

// One write: made before the write goes out (it takes what was seen before it), finished with
// what was written and what the read-back showed.
class JournalledWrite {
 public:
  JournalledWrite(const Context& ctx, EepromArea area);
  void Finish(std::span<const uint8_t> written, std::span<const uint8_t> read_back,
              WriteCheck check);

 private:
  const Context& ctx_;
  EepromArea area_;
  std::vector<uint8_t> before_;
};

}  // namespace tarvo
