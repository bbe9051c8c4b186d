#include "records/record_keeper.h"

#include <filesystem>

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
    Warn(ProblemText(error) + "; records wait in " + options_.local_path +
         " and are sent when it can be, or by \"records push\"");
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
      const std::optional<SetAsideRecord>& refused = line_->refused();
      if (!refused) {
        *error = line_->error();
        return false;
      }
      // One record the server will not take must not hold up the others: it stays in the file,
      // set aside, and the batch goes again without it.
      if (!store->SetAside(refused->kind, refused->id, refused->reason)) {
        *error = "the records file cannot be updated: " + store->error();
        return false;
      }
      Warn("the line database refused " + std::string(KindName(refused->kind)) + " " +
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

std::string RecordKeeper::ProblemText(const std::string& error) const {
  switch (line_->problem()) {
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
  if (!line_) {
    *error = "no line database is set (TARVO_RECORDS_URL, or \"RecordsUrl\" in the settings)";
    return false;
  }
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
    ok = SendAll(error, sent);
  }
  if (!ok) *error = ProblemText(*error);
  line_down_ = !ok;
  if (!ok) retry_at_ = clock_.NowMs() + options_.retry_ms;
  return ok;
}

}  // namespace tarvo::records
