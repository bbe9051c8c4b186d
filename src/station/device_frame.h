#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/outcome.h"
#include "link/printer_link.h"
#include "operations/rom_dump.h"

namespace tarvo::station {

// What one page action (a double-click, a button) came to.
struct PageRun {
  enum class Kind {
    kOffline,  // the link did not open; nothing else happened
    kNothing,  // the link opened and closed, and nothing ran (no selection, a separator)
    kRan,      // an operation ran; `outcome` says how it ended
  };
  Kind kind = Kind::kNothing;
  std::string entry;  // the text of the entry or button
  Outcome outcome;

  bool offline() const { return kind == Kind::kOffline; }
  bool ran() const { return kind == Kind::kRan; }
};

// The device-action frame of every page action: open the link (the open tells the operator when
// the printer is off line, and the action stops there), run, close the link. The link is closed
// also when the operator cannot answer and the run is abandoned.
template <typename Action>
bool RunInDeviceFrame(PrinterLink& link, Action&& action) {
  if (!link.HandleOpen()) return false;
  struct Closer {
    PrinterLink& link;
    ~Closer() {
      if (link.is_open()) link.HandleClose();
    }
  } closer{link};
  std::forward<Action>(action)();
  return true;
}

// The operations' results as outcomes, whatever form an operation returns.
inline Outcome AsOutcome(Outcome outcome, std::string_view) {
  return outcome;
}
inline Outcome AsOutcome(bool ok, std::string_view name) {
  return Outcome::From(ok, OutcomeKind::kNotDone, std::string(name));
}
template <typename T>
Outcome AsOutcome(const std::optional<T>& value, std::string_view name) {
  return AsOutcome(value.has_value(), name);
}
inline Outcome AsOutcome(DumpOutcome outcome, std::string_view name) {
  switch (outcome) {
    case DumpOutcome::kReadFailed:
      return Outcome::TransferFailed(std::string(name) + ": the image could not be read");
    case DumpOutcome::kCancelled:
      return Outcome::Cancelled(std::string(name));
    case DumpOutcome::kWriteFailed:
      return Outcome::VerifyFailed(std::string(name));
    case DumpOutcome::kUnchanged:
    case DumpOutcome::kWritten:
      break;
  }
  return Outcome::Done();
}

}  // namespace tarvo::station
