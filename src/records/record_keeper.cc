#include "records/record_keeper.h"

namespace tarvo::records {
namespace {

constexpr int kBatch = 200;

}  // namespace

RecordKeeper::RecordKeeper(KeeperOptions options, Clock& clock)
    : options_(std::move(options)), clock_(clock) {
  if (!options_.line_url.empty()) line_ = std::make_unique<LineDatabase>(options_.line_url);
}

void RecordKeeper::Warn(const std::string& text) {
  if (options_.warn) options_.warn(text);
}

LocalStore* RecordKeeper::Local() {
  if (local_.is_open()) return &local_;
  if (local_failed_) return nullptr;
  if (!local_.Open(options_.local_path)) {
    local_failed_ = true;
    Warn("records cannot be kept in " + options_.local_path + ": " + local_.error());
    return nullptr;
  }
  return &local_;
}

template <typename R>
void RecordKeeper::Keep(const R& record) {
  LocalStore* store = Local();
  if (!store) return;
  if (!store->Add(record, options_.origin)) {
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
  if (!line_ || (line_down_ && clock_.NowMs() < retry_at_)) return;
  std::string error;
  int64_t sent = 0;
  if (SendAll(&error, &sent)) {
    if (line_down_) {
      Warn("the line database takes records again; " + std::to_string(sent) +
           " that waited have been sent");
    }
    line_down_ = false;
    return;
  }
  if (!line_down_) {
    Warn("the line database cannot be reached (" + error + "); records wait in " +
         options_.local_path + " and are sent when it can be, or by \"records push\"");
  }
  line_down_ = true;
  retry_at_ = clock_.NowMs() + options_.retry_ms;
}

bool RecordKeeper::SendAll(std::string* error, int64_t* sent) {
  LocalStore* store = Local();
  if (!store) {
    *error = "the records file cannot be opened";
    return false;
  }
  for (;;) {
    Unsent batch = store->TakeUnsent(kBatch);
    if (batch.empty()) return true;
    if (!line_->Send(batch)) {
      *error = line_->error();
      return false;
    }
    // Killed right here, the batch is sent again next time; the line database keeps one of each.
    if (!store->MarkSent(batch)) {
      *error = "the records file cannot be updated: " + store->error();
      return false;
    }
    if (sent) *sent += static_cast<int64_t>(batch.size());
  }
}

bool RecordKeeper::Push(std::string* error, int64_t* sent) {
  if (!line_) {
    *error = "no line database is set (TARVO_RECORDS_URL, or \"RecordsUrl\" in the settings)";
    return false;
  }
  const bool ok = SendAll(error, sent);
  line_down_ = !ok;
  if (!ok) retry_at_ = clock_.NowMs() + options_.retry_ms;
  return ok;
}

}  // namespace tarvo::records
