#include "cli/records_args.h"

#include <charconv>
#include <set>

namespace tarvo::cli {
namespace {

bool ParseNumber(const std::string& text, int64_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// verb, then ID for the verbs in `with_id`, then --option VALUE pairs from `options`.
std::optional<RecordsArgs> Parse(std::span<const std::string> words,
                                 const std::set<std::string>& verbs,
                                 const std::set<std::string>& with_id,
                                 const std::set<std::string>& options, std::string* problem) {
  RecordsArgs a;
  if (words.empty() || !verbs.contains(words[0])) {
    *problem = "unknown verb \"" + (words.empty() ? std::string() : words[0]) + "\"";
    return std::nullopt;
  }
  a.verb = words[0];
  size_t i = 1;
  if (with_id.contains(a.verb)) {
    if (words.size() < 2 || !ParseNumber(words[1], a.id) || a.id <= 0) {
      *problem = a.verb + " takes a record number";
      return std::nullopt;
    }
    i = 2;
  }
  for (; i < words.size(); i += 2) {
    const std::string& option = words[i];
    if (option == "--retry" && options.contains(option)) {
      a.retry = true;
      --i;
      continue;
    }
    if (option == "--print-sql" && options.contains(option)) {
      a.print_sql = true;
      --i;
      continue;
    }
    if (!options.contains(option) || i + 1 >= words.size()) {
      *problem = "\"" + option + "\" is not an option of " + a.verb + " here";
      return std::nullopt;
    }
    const std::string& value = words[i + 1];
    if (option == "--serial") {
      a.serial = value;
    } else if (option == "--since") {
      a.since = value;
    } else if (option == "--format") {
      if (value != "json" && value != "csv") {
        *problem = "--format takes json or csv";
        return std::nullopt;
      }
      a.format = value;
    } else if (option == "--station") {
      int64_t n = 0;
      if (!ParseNumber(value, n) || n < 1 || n > 2) {
        *problem = "--station takes 1 or 2";
        return std::nullopt;
      }
      a.station = static_cast<int>(n);
    }
  }
  if (a.verb == "export" && a.format.empty()) {
    *problem = "export takes --format json or --format csv";
    return std::nullopt;
  }
  return a;
}

}  // namespace

std::optional<RecordsArgs> ParseRecordsArgs(std::span<const std::string> words,
                                            std::string* problem) {
  const std::string verb = words.empty() ? std::string() : words[0];
  std::set<std::string> options;
  if (verb == "list") options = {"--serial", "--since", "--station"};
  if (verb == "export") options = {"--format", "--serial", "--since", "--station"};
  if (verb == "yield") options = {"--since"};
  if (verb == "push") options = {"--retry"};
  if (verb == "setup-db") options = {"--print-sql"};
  return Parse(words, {"list", "show", "export", "yield", "push", "setup-db"}, {"show"}, options,
               problem);
}

std::optional<RecordsArgs> ParseJournalArgs(std::span<const std::string> words,
                                            std::string* problem) {
  const std::string verb = words.empty() ? std::string() : words[0];
  std::set<std::string> options;
  if (verb == "list") options = {"--serial"};
  return Parse(words, {"list", "show", "restore"}, {"show", "restore"}, options, problem);
}

}  // namespace tarvo::cli
