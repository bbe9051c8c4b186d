#pragma once

#include <atomic>
#include <csignal>
#include <thread>

#include "base/stop_request.h"

namespace tarvo::cli {

// While it lives, the first SIGINT or SIGTERM makes a stop request: the operation running ends at
// its wait or transfer, and the run ends with the link closed. A second signal of the same kind
// ends the process at once, as if nothing were installed. The signal handler only writes to a pipe;
// a thread of its own reads it and makes the request, which a signal handler may not. One at a time
// per process; the handlers in place before are put back at destruction.
//
// On Windows the console's Ctrl-C (told as SIGINT) and Ctrl-Break, close, logoff and shutdown
// events (told as SIGTERM) take the place of the signals: the system calls the handler on a
// thread of its own, which makes the request itself; the second event goes on to the system's
// handler, which ends the process.
class StopOnSignals {
 public:
  explicit StopOnSignals(StopRequest& stop);
  ~StopOnSignals();
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;

  // The signal that made the request (SIGINT or SIGTERM), or 0.
  int signal() const { return signal_; }

 private:
  StopRequest& stop_;
  std::atomic<int> signal_ = 0;
#ifdef _WIN32
  friend struct ConsoleEvents;
  bool Take(int number);  // false for the second event
#else
  void Watch();

  int pipe_[2] = {-1, -1};
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
  std::thread watcher_;
#endif
};

}  // namespace tarvo::cli
