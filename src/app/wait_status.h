#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string_view>

#include "base/wait_observer.h"
#include "station/wait_countdown.h"

namespace tarvo::app {

// The main window's status line during the device layer's longer waits ("Greasing: 9 s"), also
// those no wait window shows. The object lives on the GUI thread; the device worker tells it of
// the waits, and the news is queued there. A timer moves the count once a second while a wait
// runs and stops when it ends.
class WaitStatus : public QObject, public WaitObserver {
  Q_OBJECT

 public:
  // Milliseconds of a clock that does not go backwards; default: the machine's steady clock.
  using Now = std::function<int64_t()>;
  explicit WaitStatus(Now now = {}, QObject* parent = nullptr);

  void Begins(std::string_view label, int64_t ms) override;
  void Ends() noexcept override;

  // The line shown now (GUI thread); empty while no wait runs.
  const QString& line() const { return line_; }
  // Reads the clock again and shows what it says (the timer; tests that move a virtual clock).
  void Refresh();

 signals:
  void lineChanged(const QString& line);

 private:
  void Show(const QString& line);

  Now now_;
  station::WaitCountdown countdown_;
  QTimer ticker_;
  QString line_;
};

}  // namespace tarvo::app
