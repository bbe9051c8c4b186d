#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/line_sink.h"

namespace tarvo {

// The printer traffic and the device layer's waits, one event per line:
//   W <hex>   a transfer written on the write pipe      W! <hex>  a failed or timed-out write
//   R <hex>   the bytes of one transfer read            R!        a failed or timed-out read
//   S <ms>    a wait of the device layer
//   O PIPE00|PIPE01 ok|fail   a pipe open               C         a close
// Hex is lowercase without blanks. The sink may hold lines back (FileLineSink::Writes::kOnFlush):
// they are put out at every wait and every close, and the link calls Flush() before every read,
// so a crash loses no line from before the last wait or read.
class WireLog {
 public:
  explicit WireLog(LineSink& sink) : sink_(sink) {}

  void Written(std::span<const uint8_t> bytes);
  void WriteFailed(std::span<const uint8_t> bytes);
  void Read(std::span<const uint8_t> bytes);
  void ReadFailed();
  void Wait(int64_t ms);
  void PipeOpened(std::string_view pipe, bool ok);
  void Closed();
  // Puts out the lines held back; called before anything that may block.
  void Flush();

 private:
  LineSink& sink_;
};

}  // namespace tarvo
