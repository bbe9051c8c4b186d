#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>

#include "base/operator.h"

namespace tarvo {

// A request to stop the device operation that runs now: the operator pressed Stop, or the
// process got SIGINT. Every wait of the clock, every wait of the context and every transfer of
// the link honour it; the operation then unwinds with OperationStopped, as an operator abort does.
//
// Threads: Request() and requested() may be called from any thread, also from a thread the
// device layer knows nothing of. Everything else comes from the device thread: WaitFor() from the
// clock, Clear() before an operation starts (never while one runs), Hook from the link around a
// transfer.
class StopRequest {
 public:
  StopRequest() = default;
  StopRequest(const StopRequest&) = delete;
  StopRequest& operator=(const StopRequest&) = delete;

  // Wakes every WaitFor() at once and runs the hooks registered now (on the calling thread).
  // Later requests before Clear() change nothing.
  void Request();
  bool requested() const;
  // Takes the request back, so that the next operation runs.
  void Clear();

  // Blocks for `ms` milliseconds or until the request is made, whichever comes first. True when
  // the request is made (also when it was made before the call).
  bool WaitFor(int64_t ms) const;

  // Throws OperationStopped when the request is made.
  void ThrowIfRequested() const;

  // Runs `on_stop` when the request is made while the hook lives, or at once on construction when
  // it was made before. `on_stop` runs under the request's lock, on the requesting thread: it must
  // return quickly and must not call back into the request. Once the hook is destroyed, `on_stop`
  // is never called again. A hook on no request (nullptr) does nothing.
  class Hook {
   public:
    Hook(StopRequest* stop, std::function<void()> on_stop);
    ~Hook();
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

   private:
    StopRequest* stop_;
    std::list<std::function<void()>>::iterator entry_;
  };

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable woken_;
  bool requested_ = false;
  std::list<std::function<void()>> hooks_;
};

// Thrown where a wait or a transfer is cut short by a stop request. An OperatorAborted, so that it
// unwinds the whole operation and is caught where operator aborts are: at the front ends' top
// level and at the library's export boundary.
class OperationStopped : public OperatorAborted {
 public:
  OperationStopped() : OperatorAborted("stopped on request") {}
};

}  // namespace tarvo
