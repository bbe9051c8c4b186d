#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace tarvo {

class DialogModel;

enum class Icon { kInformation, kError };
enum class Buttons { kOk, kYesNo };
enum class Reply { kOk, kYes, kNo, kCancel };
// What a modal dialog closed with: its OK path (1) or Cancel (2: Esc, the close box, a cancel
// button).
enum class DialogResult { kOk = 1, kCancel = 2 };

// A message box. Every box the device layer shows is modal, ownerless and always on top.
struct Message {
  std::string text;
  std::string caption;
  Icon icon = Icon::kError;
  Buttons buttons = Buttons::kOk;
};

// A modeless wait window ("Connect", "Printer Busy", "Ink DisCharge"): shown before a blocking
// wait, closed after it.
struct WaitWindow {
  int id = 0;  // dialog resource number: 190, 191 or 196
  std::string caption;
  std::string text;
  // The fixed waits the window stands over, one after the other (the connect window: one per
  // retry). A view counts them down as one span and runs its bar once over all of them; 0: each
  // wait counts down on its own.
  int waits = 0;
};

// A request for a file name: the standard open or save dialog.
struct FileRequest {
  bool save = false;
  std::string filter;  // as the operation states it, e.g. "All Files|*.*||"
};

// The person at the station, as the device layer sees them. Abstract so that the same device code
// can be driven by a Qt window, a terminal, a script or a test. Every call blocks until the
// operator has answered; none of them touches the printer.
//
// Threads: every call comes from the device thread. A view that lives on another thread (the Qt
// program's window thread) marshals the call there: Show, ShowDialog and ChooseFile block the
// device thread until the answer comes back; OpenWaitWindow, CloseWaitWindow, WaitStarts and
// WaitEnds may be queued and return at once. CloseWaitWindow and WaitEnds never throw: they run
// while an operation unwinds (a stop request, an operator abort), from guards. A dialog model
// handed to ShowDialog touches only itself; the view reads and edits it only until ShowDialog
// returns, on whichever thread it marshalled to, and the device thread does not touch it
// meanwhile.
class Operator {
 public:
  virtual ~Operator() = default;

  // Shows a message box. Returns kOk for an OK box, kYes or kNo for a Yes/No box (kNo also when
  // the box is closed otherwise).
  virtual Reply Show(const Message& message) = 0;

  // Shows a wait window; it stays until CloseWaitWindow() (which never throws). Windows do not
  // nest.
  virtual void OpenWaitWindow(const WaitWindow& window) = 0;
  virtual void CloseWaitWindow() = 0;

  // Told before the device layer blocks for `ms` milliseconds, so that a front end can count
  // down, and after the wait, also one cut short (WaitEnds never throws). Returns at once; the
  // wait itself is the clock's.
  virtual void WaitStarts(int64_t ms) = 0;
  virtual void WaitEnds() {}

  // Shows a dialog model modally until the operator closes it. The model checks its own entries;
  // an entry it refuses keeps the dialog open.
  virtual DialogResult ShowDialog(DialogModel& dialog) = 0;

  // The standard file dialog: a chosen path, or nothing when the operator cancels.
  virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;

  // How far a file being sent to the printer has got: `sent` of `total` bytes. Told at the start
  // (0), at most a few times a second while it goes, and at the end (`total`); not told again for
  // a transfer that fails. Returns at once and may be called often, so it must stay cheap.
  virtual void TransferProgress(uint64_t sent, uint64_t total) {
    (void)sent;
    (void)total;
  }
};

// Thrown by an operator that cannot answer at all (a script that has run out, or a line that does
// not fit the prompt), and, as OperationStopped, where a stop request cuts a wait or a transfer
// short. It stops the whole run; front ends catch it at their top level and the library at its
// export boundary. Guards close what is open on the way out (wait windows, the announcement of a
// wait); the front end closes the printer link.
class OperatorAborted : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Shows a wait window for the lifetime of the guard, closed also when an operation unwinds.
class WaitWindowGuard {
 public:
  WaitWindowGuard(Operator& op, const WaitWindow& window) : op_(op) { op_.OpenWaitWindow(window); }
  ~WaitWindowGuard() {
    try {
      op_.CloseWaitWindow();
    } catch (...) {
      // Closing a wait window never throws; an operator that breaks that must not end the process.
    }
  }
  WaitWindowGuard(const WaitWindowGuard&) = delete;
  WaitWindowGuard& operator=(const WaitWindowGuard&) = delete;

 private:
  Operator& op_;
};

}  // namespace tarvo
