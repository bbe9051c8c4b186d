#include "base/clock.h"

#include "base/stop_request.h"

namespace tarvo {
namespace {

// The C library's re-entrant calendar calls under their names on each system.
void ToLocal(std::time_t t, std::tm* out) {
#ifdef _WIN32
  localtime_s(out, &t);
#else
  localtime_r(&t, out);
#endif
}
void ToUtc(std::time_t t, std::tm* out) {
#ifdef _WIN32
  gmtime_s(out, &t);
#else
  gmtime_r(&t, out);
#endif
}
// Calendar arithmetic rather than the C library's: the Windows one is _mkgmtime32, which the
// msvcrt.dll of Windows XP does not have.
std::time_t FromUtc(const std::tm& t) {
  using namespace std::chrono;
  const sys_days date = year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                        day{static_cast<unsigned>(t.tm_mday)};
  const sys_seconds at = date + hours{t.tm_hour} + minutes{t.tm_min} + seconds{t.tm_sec};
  return static_cast<std::time_t>(at.time_since_epoch().count());
}

}  // namespace

RealClock::RealClock() : never_(std::make_unique<StopRequest>()) {}
RealClock::~RealClock() = default;

int64_t RealClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool RealClock::WaitStopped(int64_t ms) {
  return (stop() ? *stop() : *never_).WaitFor(ms);
}

void RealClock::SleepMs(int64_t ms) {
  if (WaitStopped(ms)) throw OperationStopped();
}

void RealClock::Elapse(int64_t ms) {
  WaitStopped(ms);
}

std::tm RealClock::LocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm out{};
  ToLocal(now, &out);
  return out;
}

VirtualClock::VirtualClock() {
  SetLocalTime(2004, 4, 7, 9, 5, 3);
}

void VirtualClock::SleepMs(int64_t ms) {
  if (stop() && stop()->requested()) throw OperationStopped();
  sleeps_.push_back(ms);
  Tick(ms);
}

void VirtualClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  // The virtual calendar has no time zone: it is kept in UTC arithmetic and handed out as is.
  local_base_ = FromUtc(t);
  epoch_ms_ = now_ms_;
}

std::tm VirtualClock::LocalTime() {
  std::time_t now = local_base_ + static_cast<std::time_t>((now_ms_ - epoch_ms_) / 1000);
  std::tm out{};
  ToUtc(now, &out);
  return out;
}

}  // namespace tarvo
