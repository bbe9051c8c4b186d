#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "base/outcome.h"
#include "link/printer_link.h"

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

}  // namespace tarvo::station
