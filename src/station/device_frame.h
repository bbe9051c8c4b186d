#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "base/outcome.h"
#include "link/printer_link.h"

namespace tarvo::station {

// How a page action (a double-click, a button) ended in its device frame.
enum class RunEnd {
  kOffline,  // the link did not open; nothing else happened
  kNothing,  // the link opened and closed, and nothing ran (no selection, an entry past the list)
  kRan,      // the action ran (whatever its verdicts and outcome), or a separator did nothing
  kRefused,  // a Station 2 precondition refused the printer; no result changed
};

// What one page action came to.
struct PageRun {
  RunEnd kind = RunEnd::kNothing;
  std::string entry;  // the text of the entry or button
  Outcome outcome;    // how the operation ended, when one ran

  bool offline() const { return kind == RunEnd::kOffline; }
  bool ran() const { return kind == RunEnd::kRan; }
};

// The device-action frame of every page action and front-end command that talks to the printer:
// open the link (the open tells the operator when the printer is off line, and the action stops
// there: false), run, close the link. The link is closed also when the operator cannot answer or
// a stop cuts the action short and it unwinds.
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
