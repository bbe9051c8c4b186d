#include "base/context.h"

#include <string>

namespace tarvo {

std::string Context::StationPath(std::string_view name) const {
  if (name.empty() || station_dir.empty()) return std::string(name);
  const std::filesystem::path path(name);
  return path.is_absolute() ? std::string(name) : (station_dir / path).string();
}

namespace {

// Tells the operator and the wait observer of the end of a wait on every way out of it.
class WaitAnnouncement {
 public:
  WaitAnnouncement(Operator& op, WaitObserver* waits, std::string_view label, int64_t ms)
      : op_(op), waits_(ms >= kToldWaitFromMs ? waits : nullptr) {
    // The observer first: a front end whose operator counts down can then name the wait.
    if (waits_) waits_->Begins(label, ms);
    try {
      op_.WaitStarts(ms);
    } catch (...) {
      if (waits_) waits_->Ends();
      throw;
    }
  }
  ~WaitAnnouncement() {
    try {
      op_.WaitEnds();
    } catch (...) {
      // The end of a wait never throws; an operator that breaks that must not end the process.
    }
    if (waits_) waits_->Ends();
  }
  WaitAnnouncement(const WaitAnnouncement&) = delete;
  WaitAnnouncement& operator=(const WaitAnnouncement&) = delete;

 private:
  Operator& op_;
  WaitObserver* waits_;
};

}  // namespace

void Context::Wait(int64_t ms, const EditionText& label) const {
  wire.Wait(ms);
  WaitAnnouncement announcement(op, waits, Text(label), ms);
  if (stop) stop->ThrowIfRequested();
  clock.SleepMs(ms);
  // A clock that was not given the request still ends the operation after the wait.
  if (stop) stop->ThrowIfRequested();
}

void Context::Note(std::string_view line) const {
  if (notes) notes->Line(line);
}

void Context::Error(std::string_view text, std::string_view caption) const {
  op.Show(Message{std::string(text), std::string(caption), Icon::kError, Buttons::kOk});
}

void Context::Info(std::string_view text, std::string_view caption) const {
  op.Show(Message{std::string(text), std::string(caption), Icon::kInformation, Buttons::kOk});
}

}  // namespace tarvo
