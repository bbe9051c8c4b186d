#include "base/wire_log.h"

#include <string>

#include "base/hex.h"

namespace tarvo {

// Print files pass through here 4 KiB at a time: no hex is built for a log that goes nowhere.
void WireLog::Written(std::span<const uint8_t> bytes) {
  if (sink_.enabled()) sink_.Line("W " + ToHex(bytes));
}
void WireLog::WriteFailed(std::span<const uint8_t> bytes) {
  if (sink_.enabled()) sink_.Line("W! " + ToHex(bytes));
}
void WireLog::Read(std::span<const uint8_t> bytes) {
  if (sink_.enabled()) sink_.Line("R " + ToHex(bytes));
}
void WireLog::ReadFailed() {
  sink_.Line("R!");
}
void WireLog::Wait(int64_t ms) {
  sink_.Line("S " + std::to_string(ms));
}
void WireLog::PipeOpened(std::string_view pipe, bool ok) {
  sink_.Line("O " + std::string(pipe) + (ok ? " ok" : " fail"));
}
void WireLog::Closed() {
  sink_.Line("C");
}

}  // namespace tarvo
