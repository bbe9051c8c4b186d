#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tarvo::app::testing {

// Runs `act` on the next modal window of type T once it is shown, from inside whatever event
// loop the GUI thread runs then (the modal window's own, usually). Polls the modal stack every
// few milliseconds of the event loop; gives up after `give_up_ms`.
template <typename T>
void WhenModal(std::function<void(T*)> act, int give_up_ms = 10000) {
  auto* timer = new QTimer(qApp);
  auto* waited = new int(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, act, give_up_ms] {
    T* window = qobject_cast<T*>(QApplication::activeModalWidget());
    *waited += timer->interval();
    if (window && window->isVisible()) {
      timer->stop();
      timer->deleteLater();
      delete waited;
      act(window);
    } else if (*waited > give_up_ms) {
      timer->stop();
      timer->deleteLater();
      delete waited;
    }
  });
  timer->start(5);
}

}  // namespace tarvo::app::testing
