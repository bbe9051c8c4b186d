#include "records/record_keeper.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace tarvo::records {
namespace {

constexpr int kBatch = 200;

}  // namespace

RecordKeeper::RecordKeeper(KeeperOptions options, Clock& clock)
    : options_(std::move(options)), clock_(clock) {
  if (options_.line_url.empty()) return;
  line_ = std::make_unique<LineDatabase>(options_.line_url);
  line_->set_limits(options_.connect_ms, options_.statement_ms);
  // Without the pipe that ends the sender's waits, records are sent on the caller's thread.
  if (options_.background && pipe2(cancel_pipe_, O_CLOEXEC) == 0) {
    sender_ = std::thread([this] { SenderLoop(); });
  }
}

RecordKeeper::~RecordKeeper() {
  StopSender();
}

void RecordKeeper::StopSender() {
  if (!sender_.joinable()) return;
  {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    wake_.notify_one();
    if (!idle_.wait_for(lock, std::chrono::milliseconds(options_.shutdown_ms),
                        [this] { return sender_done_; })) {
      const char end = 1;
      if (write(cancel_pipe_[1], &end, 1) != 1) {
        // A full pipe is readable already: the sender's wait ends all the same.
      }
    }
  }
  sender_.join();
  close(cancel_pipe_[0]);
  close(cancel_pipe_[1]);
  TellFromSender();
}

void RecordKeeper::SenderLoop() {
  LocalStore store;
  LineDatabase line(options_.line_url);
  line.set_limits(options_.connect_ms, options_.statement_ms);
  line.set_cancel_fd(cancel_pipe_[0]);
  const WarnFn queue = [this](const std::string& text) {
    std::lock_guard lock(mutex_);
    told_.push_back(text);
  };
  const WarnFn queue_locked = [this](const std::string& text) { told_.push_back(text); };
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return pass_asked_ || stopping_; });
    // At the end, one more pass for what came since the last, unless the line is down (then
    // that was the run's attempt) or the end cut it short.
    if (!pass_asked_ || (stopping_ && (line_down_ || line.cancelled()))) break;
    pass_asked_ = false;
    passing_ = true;
    const std::string path = send_path_;
    const int64_t asked_at = asked_at_;
    lock.unlock();
    bool ok = false;
    std::string error;
    int64_t sent = 0;
    {
      std::lock_guard pass(pass_mutex_);
      if ((store.is_open() && store.path() == path) || store.Open(path)) {
        ok = SendAll(&store, line, queue, &error, &sent);
      } else {
        error = "the records file cannot be opened: " + store.error();
      }
    }
    lock.lock();
    passing_ = false;
    if (line.cancelled() && !line_down_) {
      told_.push_back(
          "the line database gave no answer before the end of the run; records wait "
          "in " +
          options_.local_path + " and are sent by the next run, or by \"records push\"");
    } else {
      Passed(ok, line.cancelled(), ProblemText(line.problem(), error), sent, asked_at,
             queue_locked);
    }
    idle_.notify_all();
  }
  sender_done_ = true;
  idle_.notify_all();
}

void RecordKeeper::TellFromSender() {
  std::vector<std::string> notes;
  {
    std::lock_guard lock(mutex_);
    notes.swap(told_);
  }
  for (const std::string& note : notes) Warn(note);
}

void RecordKeeper::WaitForSender() {
  if (!sender_.joinable()) return;
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return sender_done_ || (!pass_asked_ && !passing_); });
  }
  TellFromSender();
}

void RecordKeeper::Warn(const std::string& text) {
  if (options_.warn) options_.warn(text);
}

std::string RecordKeeper::FreshPath(const std::string& path) {
  const std::filesystem::path file(path);
  std::filesystem::path fresh = file.parent_path() / file.stem();
  fresh += ".fresh" + file.extension().string();
  return fresh.string();
}

bool RecordKeeper::OpenFile(const std::string& path) {
  if (local_.Open(path)) return true;
  if (local_.damaged() && path == options_.local_path) {
    damage_ = local_.error();
    const std::string& file = options_.local_path;
    const std::string fresh = FreshPath(file);
    Warn("the records file " + file + " is damaged (SQLite finds: " + damage_ +
         "); nothing more is written to it, and new records go to " + fresh +
         ". Save what it still holds with \"sqlite3 " + file + " .recover >records-saved.sql\", " +
         "then, with no station program running, move " + file + " away and rename " + fresh +
         " to it");
    return false;
  }
  local_failed_ = true;
  Warn("records cannot be kept in " + path + ": " +
       (local_.damaged() ? "it is damaged too (SQLite finds: " + local_.error() + ")"
                         : local_.error()));
  return false;
}

LocalStore* RecordKeeper::Local() {
  if (local_.is_open()) return &local_;
  if (local_failed_) return nullptr;
  if (damage_.empty() && OpenFile(options_.local_path)) return &local_;
  if (!damage_.empty() && OpenFile(FreshPath(options_.local_path))) return &local_;
  return nullptr;
}

LocalStore* RecordKeeper::Readable() {
  if (damage_.empty() && !local_.is_open() && !local_failed_) OpenFile(options_.local_path);
  if (!damage_.empty() || !local_.is_open()) return nullptr;
  return &local_;
}

template <typename R>
void RecordKeeper::Keep(const R& record) {
  TellFromSender();
  LocalStore* store = Local();
  if (!store) return;
  Origin origin = options_.origin;
  origin.station = station();
  if (!store->Add(record, origin)) {
    Warn("a record could not be written to " + options_.local_path + ": " + store->error());
    return;
  }
  SendIfDue();
}

void RecordKeeper::Record(const StepRecord& step) {
  Keep(step);
}
void RecordKeeper::Record(const DotWeightRecord& measurement) {
  Keep(measurement);
}
void RecordKeeper::Record(const JournalEntry& entry) {
  Keep(entry);
}

void RecordKeeper::SendIfDue() {
  if (!line_) return;
  if (sender_.joinable()) {
    std::lock_guard lock(mutex_);
    if (line_down_ && clock_.NowMs() < retry_at_) return;
    send_path_ = local_.path();
    pass_asked_ = true;
    asked_at_ = clock_.NowMs();
    wake_.notify_one();
    return;
  }
  if (line_down_ && clock_.NowMs() < retry_at_) return;
  std::string error;
  int64_t sent = 0;
  const WarnFn warn = [this](const std::string& text) { Warn(text); };
  const bool ok = SendAll(Local(), *line_, warn, &error, &sent);
  Passed(ok, false, ProblemText(line_->problem(), error), sent, clock_.NowMs(), warn);
}

void RecordKeeper::Passed(bool ok, bool cancelled, const std::string& problem, int64_t sent,
                          int64_t asked_at, const WarnFn& warn) {
  if (ok) {
    if (line_down_) {
      warn("the line database takes records again; " + std::to_string(sent) +
           " that waited have been sent");
    }
    line_down_ = false;
    return;
  }
  if (cancelled) return;
  if (!line_down_) {
    warn(problem + "; records wait in " + options_.local_path +
         " and are sent when it can be, or by \"records push\"");
  }
  line_down_ = true;
  retry_at_ = asked_at + options_.retry_ms;
}

bool RecordKeeper::SendAll(LocalStore* store, LineDatabase& line, const WarnFn& warn,
                           std::string* error, int64_t* sent) {
  if (!store) {
    *error = "the records file cannot be opened";
    return false;
  }
  for (;;) {
    Unsent batch = store->TakeUnsent(kBatch);
    if (batch.empty()) return true;
    if (!line.Send(batch)) {
      const std::optional<SetAsideRecord>& refused = line.refused();
      if (!refused) {
        *error = line.error();
        return false;
      }
      // One record the server will not take must not hold up the others: it stays in the file,
      // set aside, and the batch goes again without it.
      if (!store->SetAside(refused->kind, refused->id, refused->reason)) {
        *error = "the records file cannot be updated: " + store->error();
        return false;
      }
      warn("the line database refused " + std::string(KindName(refused->kind)) + " " +
           std::to_string(refused->id) + " of " + options_.local_path + " (" + refused->reason +
           "); it is set aside there and the other records go on; \"records push --retry\" "
           "offers it again");
      continue;
    }
    // Killed right here, the batch is sent again next time; the line database keeps one of each.
    if (!store->MarkSent(batch)) {
      *error = "the records file cannot be updated: " + store->error();
      return false;
    }
    if (sent) *sent += static_cast<int64_t>(batch.size());
  }
}

std::string RecordKeeper::ProblemText(LineProblem problem, const std::string& error) const {
  switch (problem) {
    case LineProblem::kPermission:
      return "the line database refuses this station's records (" + error +
             "): its role needs to be a member of \"" + kStationRole +
             "\" (src/records/README.md, \"Setting up the line database\")";
    case LineProblem::kNoTables:
      return "the line database has no Tarvo tables, or older ones (" + error +
             "): run \"tarvo-cli records setup-db\" once as the database's owner";
    case LineProblem::kUnreachable:
      return "the line database cannot be reached (" + error + ")";
    case LineProblem::kOther:
      if (error.starts_with("the line database's URL")) return error;
      [[fallthrough]];
    default:
      return "the line database cannot take records (" + error + ")";
  }
}

bool RecordKeeper::SetupLineDatabase(std::string* error) {
  if (!line_) {
    *error = "no line database is set (TARVO_RECORDS_URL, or \"RecordsUrl\" in the settings)";
    return false;
  }
  if (line_->Setup()) return true;
  *error = line_->problem() == LineProblem::kUnreachable
               ? "the line database cannot be reached (" + line_->error() + ")"
               : line_->error();
  return false;
}

bool RecordKeeper::Push(std::string* error, int64_t* sent, bool retry) {
  TellFromSender();
  if (!line_) {
    *error = "no line database is set (TARVO_RECORDS_URL, or \"RecordsUrl\" in the settings)";
    return false;
  }
  std::lock_guard pass(pass_mutex_);
  if (retry) {
    LocalStore* store = Local();
    if (!store || !store->ReturnSetAside()) {
      *error = "the records file cannot be updated";
      return false;
    }
  }
  // Also with nothing to send, a push tells whether this station's records can go.
  bool ok = line_->Check();
  if (!ok) {
    *error = line_->error();
  } else {
    const WarnFn warn = [this](const std::string& text) { Warn(text); };
    ok = SendAll(Local(), *line_, warn, error, sent);
  }
  if (!ok) *error = ProblemText(line_->problem(), *error);
  std::lock_guard lock(mutex_);
  line_down_ = !ok;
  if (!ok) retry_at_ = clock_.NowMs() + options_.retry_ms;
  return ok;
}

}  // namespace tarvo::records
