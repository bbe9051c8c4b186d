#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tarvo::cli {

// The words after "records" or "journal": a verb, then options.
struct RecordsArgs {
  std::string verb;
  int64_t id = 0;  // show, restore
  std::string serial;
  std::string since;
  int station = 0;
  std::string format;      // export: "json" or "csv"
  bool retry = false;      // push: the set-aside records too
  bool print_sql = false;  // setup-db: the SQL, not run
};

// Parses the records words; nothing, with *problem set, for a bad line.
std::optional<RecordsArgs> ParseRecordsArgs(std::span<const std::string> words,
                                            std::string* problem);
// The same for the journal's words (list [--serial S], show ID, restore ID).
std::optional<RecordsArgs> ParseJournalArgs(std::span<const std::string> words,
                                            std::string* problem);

}  // namespace tarvo::cli
