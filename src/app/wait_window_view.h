#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>

#include "base/operator.h"

class QLabel;
class QProgressBar;

namespace tarvo::app {

// A modeless wait window ("Connect", "Printer Busy", "Ink DisCharge"): its caption and text,
// and below them what the operator could not see before: the seconds left of the fixed wait that
// runs now, and a progress bar of that wait or of the file being sent. No buttons; it is closed by
// the operation that opened it.
//
// A window over several waits (the connect window's retries) counts them down as one span: the
// seconds left of all of them, and a bar that runs once from the first to the last.
//
// The countdown is updated twice a second while a wait runs, from a timer that stops when the
// wait ends, so an idle window costs nothing.
class WaitWindowView : public QDialog {
  Q_OBJECT

 public:
  explicit WaitWindowView(const WaitWindow& window, QWidget* parent = nullptr);

  // A fixed wait of `ms` starts now / has ended.
  void StartWait(int64_t ms);
  void EndWait();
  // `sent` of `total` bytes of a file have gone to the printer.
  void Progress(uint64_t sent, uint64_t total);

  // What the window shows now (tests, screenshots).
  QString countdown_text() const;
  int progress_permille() const;
  bool counting() const { return ticker_.isActive(); }

  // Shows the countdown as if `elapsed_ms` of the current wait had passed (screenshots).
  void ShowElapsed(int64_t elapsed_ms);

 protected:
  void reject() override {}  // Esc does not close a wait window

 private:
  void Tick();

  WaitWindow window_;
  int started_ = 0;  // waits begun in this window
  QLabel* text_;
  QLabel* countdown_;
  QProgressBar* bar_;
  QTimer ticker_;
  QElapsedTimer since_;
  int64_t wait_ms_ = 0;
};

}  // namespace tarvo::app
