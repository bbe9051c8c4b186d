#include "app/wait_status.h"

#include <chrono>
#include <string>

#include "pages/gui_thread.h"

namespace tarvo::app {

using pages::PostToThreadOf;

WaitStatus::WaitStatus(Now now, QObject* parent) : QObject(parent), now_(std::move(now)) {
  if (!now_) {
    now_ = [] {
      return std::chrono::duration_cast<std::chrono::milliseconds>(
                 std::chrono::steady_clock::now().time_since_epoch())
          .count();
    };
  }
  ticker_.setSingleShot(true);
  connect(&ticker_, &QTimer::timeout, this, &WaitStatus::Refresh);
}

void WaitStatus::Begins(std::string_view label, int64_t ms) {
  PostToThreadOf(this, [this, label = std::string(label), ms] {
    countdown_.Begin(label, ms, now_());
    Refresh();
  });
}

void WaitStatus::Ends() noexcept {
  try {
    PostToThreadOf(this, [this] {
      countdown_.End();
      Refresh();
    });
  } catch (...) {
    // Nothing to show is better than an operation that cannot unwind.
  }
}

void WaitStatus::Refresh() {
  const int64_t now = now_();
  Show(QString::fromStdString(countdown_.Line(now)));
  const int64_t next = countdown_.NextChangeMs(now);
  if (next < 0) {
    ticker_.stop();
  } else {
    ticker_.start(static_cast<int>(next));
  }
}

void WaitStatus::Show(const QString& line) {
  if (line == line_) return;
  line_ = line;
  emit lineChanged(line_);
}

}  // namespace tarvo::app
