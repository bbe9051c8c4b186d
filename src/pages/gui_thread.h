#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

namespace tarvo::pages {

// Calls between the device worker and the GUI thread, for the operator's windows and the pages.

// Runs `f` on the thread of `target` and returns its result. On that thread it is a plain call;
// from any other thread the call is queued to it and the caller blocks until it has run. An
// exception thrown by `f` is carried back and thrown again in the caller.
//
// The thread of `target` must be running its event loop (or be about to return to it), else a
// caller from another thread waits forever.
template <typename F>
auto CallOnThreadOf(QObject* target, F&& f) -> std::invoke_result_t<F&> {
  using R = std::invoke_result_t<F&>;
  if (QThread::currentThread() == target->thread()) return f();
  std::exception_ptr failure;
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(
        target,
        [&] {
          try {
            f();
          } catch (...) {
            failure = std::current_exception();
          }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
  } else {
    std::optional<R> result;
    QMetaObject::invokeMethod(
        target,
        [&] {
          try {
            result.emplace(f());
          } catch (...) {
            failure = std::current_exception();
          }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
    return std::move(*result);
  }
}

// Queues `f` to the thread of `target` without waiting for it (a plain call on that thread). A
// call still queued when `target` is destroyed is dropped.
template <typename F>
void PostToThreadOf(QObject* target, F&& f) {
  if (QThread::currentThread() == target->thread()) {
    f();
    return;
  }
  QMetaObject::invokeMethod(target, std::forward<F>(f), Qt::QueuedConnection);
}

}  // namespace tarvo::pages
