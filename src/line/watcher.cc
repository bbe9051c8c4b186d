#include "line/watcher.h"

#include "records/line_reader.h"

namespace tarvo::line {

Watcher::~Watcher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Watcher::Start(std::function<void()> loop) {
  thread_ = std::thread(std::move(loop));
}

bool Watcher::Pause(int ms) {
  std::unique_lock lock(mutex_);
  return !stop_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping_; });
}

bool Watcher::stopping() {
  std::lock_guard lock(mutex_);
  return stopping_;
}

NotifyWatcher::NotifyWatcher(std::string conninfo, LiveHub& hub,
                             std::function<void(const std::string&)> log,
                             std::function<void()> listening_now) {
  Start([this, conninfo = std::move(conninfo), &hub, log = std::move(log),
         listening_now = std::move(listening_now)] {
    records::LineListener listener(conninfo);
    bool listening = false;
    bool told = false;
    while (!stopping()) {
      if (!listening) {
        listening = listener.Listen();
        if (!listening) {
          if (!told) log("live updates wait for the line database: " + listener.error());
          told = true;
          if (!Pause(5000)) return;
          continue;
        }
        if (told) {
          log("live updates again");
          hub.Publish("");  // what came meanwhile
          told = false;
        }
        listening_now();
      }
      // A short wait, so a stop is seen soon.
      std::optional<std::vector<std::string>> tables = listener.Wait(250);
      if (!tables) {
        listening = false;
        continue;
      }
      for (const std::string& t : *tables) hub.Publish(t);
    }
  });
}

NotifyWatcher::~NotifyWatcher() = default;

PollWatcher::PollWatcher(ReaderFactory open, LiveHub& hub, int interval_ms) {
  Start([this, open = std::move(open), &hub, interval_ms] {
    std::unique_ptr<records::LineReader> reader;
    std::string mark;
    bool first = true;
    while (Pause(first ? 0 : interval_ms)) {
      first = false;
      std::string error;
      if (!reader) reader = open(&error);
      if (!reader) continue;
      const std::string now = reader->ChangeMark();
      if (!reader->ok()) {
        reader.reset();
        continue;
      }
      if (!mark.empty() && now != mark) hub.Publish("records");
      mark = now;
    }
  });
}

PollWatcher::~PollWatcher() = default;

}  // namespace tarvo::line
