#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

namespace tarvo {

class StopRequest;

// Time as the device layer sees it: a monotonic millisecond count, a sleep, and the local
// wall-clock time used for production time stamps and chart headers. Abstract so that tests
// (and the simulated printer's fast mode) can run every wait in no time at all.
//
// Threads: every call comes from the device thread (the one running the operation). The only
// thing another thread does to a clock is end its wait, through the stop request it was given.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary, fixed start; never goes backwards.
  virtual int64_t NowMs() = 0;
  // A wait of the device layer: blocks the caller for `ms` milliseconds (a virtual clock returns
  // at once and records it). Throws OperationStopped when the stop request is made before or
  // during the wait.
  virtual void SleepMs(int64_t ms) = 0;
  // Time spent inside a transfer (a printer that does not answer, say): the same wait as SleepMs
  // on a real clock, but a stop request ends it early without throwing (the transfer reports it);
  // a virtual clock moves on without recording a wait.
  virtual void Elapse(int64_t ms) = 0;
  // The local calendar time now.
  virtual std::tm LocalTime() = 0;

  // The stop request that ends this clock's waits (nullptr: none). Set by the front end, to the
  // same request as the context's, before the clock is used.
  void set_stop(StopRequest* stop) { stop_ = stop; }
  StopRequest* stop() const { return stop_; }

 private:
  StopRequest* stop_ = nullptr;
};

// The machine's steady clock and local time zone. Its waits block on a condition, so that a stop
// request from another thread ends them at once.
class RealClock : public Clock {
 public:
  RealClock();
  ~RealClock() override;
  int64_t NowMs() override;
  void SleepMs(int64_t ms) override;
  void Elapse(int64_t ms) override;
  std::tm LocalTime() override;

 private:
  // Waits up to `ms`; true when stopped.
  bool WaitStopped(int64_t ms);
  std::unique_ptr<StopRequest> never_;  // what the waits block on when no request was given
};

// A clock that only moves when told to. A sleep advances it at once and is recorded, so a test
// can check every wait of a sequence; once a stop is requested, a sleep throws OperationStopped
// instead (not recorded). Local time starts at 2004-04-07 09:05:03 unless set, and
// moves with the clock.
class VirtualClock : public Clock {
 public:
  VirtualClock();
  int64_t NowMs() override { return now_ms_; }
  void SleepMs(int64_t ms) override;
  void Elapse(int64_t ms) override { Tick(ms); }
  std::tm LocalTime() override;

  // Moves time forward without recording a sleep.
  void Tick(int64_t ms) { now_ms_ += ms < 0 ? 0 : ms; }
  // Sets the local time that corresponds to NowMs() from now on.
  void SetLocalTime(int year, int month, int day, int hour, int minute, int second);
  void SetLocalTime(const std::tm& t) {
    SetLocalTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  }
  const std::vector<int64_t>& sleeps() const { return sleeps_; }
  void ClearSleeps() { sleeps_.clear(); }

 private:
  int64_t now_ms_ = 0;
  int64_t epoch_ms_ = 0;    // NowMs() when the local time below was set
  std::time_t local_base_;  // local time at epoch_ms_, as seconds of a UTC-based calendar
  std::vector<int64_t> sleeps_;
};

}  // namespace tarvo
