#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace tarvo::testing {

// Runs `act` on the next modal window of type T once it is shown, from inside whatever event
// loop the GUI thread runs then (the modal window's own, usually). Polls the modal stack every
// few milliseconds of the event loop; gives up after `give_up_ms`.
template <typename T>
void WhenModal(std::function<void(T*)> act, int give_up_ms = 10000) {
  auto* timer = new QTimer(qApp);
  // Owned by the connection, so freed with the timer also when the test ends before it gave up.
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, waited, act, give_up_ms] {
    T* window = qobject_cast<T*>(QApplication::activeModalWidget());
    *waited += timer->interval();
    if (window && window->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(window);
    } else if (*waited > give_up_ms) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(5);
}

}  // namespace tarvo::testing
