#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/edition.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/record_sink.h"
#include "base/settings_store.h"
#include "base/stop_request.h"
#include "base/wait_observer.h"
#include "base/wire_log.h"

namespace tarvo {

// The ports every device operation works through, and the edition it serves. Owned by the front
// end; device code holds it by reference and reaches for nothing else.
//
// Threads: a device operation runs on one thread, the device thread, and every port is called
// from it. What the ports may hand on to another thread is written at each port. The one thing
// another thread may touch is `stop`: StopRequest::Request() ends the operation.
struct Context {
  const Edition& edition;
  Clock& clock;
  Operator& op;
  SettingsStore& settings;
  WireLog& wire;
  // The station folder: where the chart, dot, shipping and station files are found by their
  // names. Empty: the process's current directory. Front ends set it absolute, so that nothing
  // the process does to its current directory moves it.
  std::filesystem::path station_dir{};
  // The stop request of the operation (nullptr: it cannot be stopped). The front end hands the
  // same request to the clock (Clock::set_stop), so that every wait ends when it is made.
  StopRequest* stop = nullptr;

  // `name` as the device layer opens it: a relative name inside the station folder, an absolute
  // one (and an empty one, which names no file) as it is.
  std::string StationPath(std::string_view name) const;

  // Where the line's records go; none by default. Front ends set it.
  RecordSink* records = nullptr;

  // Who is told of the longer waits by name (a status line); none by default. Front ends set it.
  WaitObserver* waits = nullptr;

  // Notes on what went wrong that the operator's boxes do not carry (where a file was looked
  // for), for the front end's log; none by default.
  LineSink* notes = nullptr;

  std::string_view Text(const EditionText& text) const { return edition.Text(text); }

  // A fixed wait of the device layer: logged, announced to the operator (so a front end can count
  // down) and, from kToldWaitFromMs on, to the wait observer under `label`, then slept on the
  // clock. Both are told of the end also when the wait is cut short: a stop request throws
  // OperationStopped from here.
  void Wait(int64_t ms, const EditionText& label = wait_labels::kWaiting) const;

  // Writes `line` to the notes, when there are any.
  void Note(std::string_view line) const;

  // Message boxes in the two styles the device layer uses.
  void Error(std::string_view text, std::string_view caption) const;
  void Info(std::string_view text, std::string_view caption) const;
};

}  // namespace tarvo
