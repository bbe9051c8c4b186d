#include "base/wire_log.h"

#include <string>

namespace tarvo {

// Print files pass through here 4 KiB at a time: the sink builds the hex line in place, and a sink
// that goes nowhere builds none.
void WireLog::Written(std::span<const uint8_t> bytes) {
  sink_.HexLine("W ", bytes);
}
void WireLog::WriteFailed(std::span<const uint8_t> bytes) {
  sink_.HexLine("W! ", bytes);
}
void WireLog::Read(std::span<const uint8_t> bytes) {
  sink_.HexLine("R ", bytes);
}
void WireLog::ReadFailed() {
  sink_.Line("R!");
}
void WireLog::Wait(int64_t ms) {
  sink_.Line("S " + std::to_string(ms));
  sink_.Flush();  // the wait may be long: everything up to it is in the file
}
void WireLog::Flush() {
  sink_.Flush();
}
void WireLog::PipeOpened(std::string_view pipe, bool ok) {
  sink_.Line("O " + std::string(pipe) + (ok ? " ok" : " fail"));
}
void WireLog::Closed() {
  sink_.Line("C");
  sink_.Flush();
}

}  // namespace tarvo
