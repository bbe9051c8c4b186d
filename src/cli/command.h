#pragma once

#include <charconv>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"

namespace tarvo::cli {

struct Session;

// One tarvo-cli command. Commands are named after the device operations (the library's export
// names where one exists) and register themselves from the file that implements them:
//
//   static const bool registered = RegisterCommand({
//       .name = "ReadFWVersion", .usage = "", .help = "...", .min_args = 0, .max_args = 0,
//       .needs_link = true, .run = [](Session& s, std::span<const std::string> args) { ... }});
//
// `run` returns the exit status: 0 when the operation did what it was asked, nonzero otherwise.
struct Command {
  std::string_view name;
  std::string_view usage;  // the arguments, e.g. "MODE" or "[PATH]"
  std::string_view help;   // one line
  int min_args = 0;
  int max_args = 0;
  // The link is opened before the command (and closed after it) unless it is open already, as
  // every device action of the station is framed by HandleOpen and HandleClose.
  bool needs_link = false;
  std::function<int(Session&, std::span<const std::string>)> run;
};

using CommandBody = std::function<int(Session&, std::span<const std::string>)>;

// A command of the printer: `args` arguments (given as `usage`), the link opened around it.
Command LinkCommand(std::string_view name, std::string_view help, CommandBody run);
Command LinkCommand(std::string_view name, std::string_view usage, std::string_view help, int args,
                    CommandBody run);

// The whole of `text` as a decimal integer of type T; nothing when it is not one or does not
// fit.
template <typename T = int>
std::optional<T> ParseInt(std::string_view text) {
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool RegisterCommand(Command command);
const Command* FindCommand(std::string_view name);
// Every registered command, sorted by name.
std::vector<const Command*> AllCommands();

// What failed, for the end of a command's output line: "" when the outcome is done, else
// " (transfer failed: Write MELoadFile Command Error !!)".
std::string FailureNote(const Outcome& outcome);
// The exit status of an operation: 0 done, 1 when it failed. A step it went on past counts when a
// transfer failed or a write did not verify there (the operation showed it), not when, say, a
// chart file to look at was missing. A cancel is a failure unless `cancel_ok`.
int ExitStatus(const Outcome& outcome, bool cancel_ok = false);
// FailureNote when the exit status is a failure, else "".
std::string FailureNoteFor(const Outcome& outcome, bool cancel_ok = false);

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // the operation failed or was refused
inline constexpr int kExitUsage = 2;     // bad command line
inline constexpr int kExitOperator = 3;  // the operator (a script) could not answer
inline constexpr int kExitOffline = 4;   // the printer could not be opened
inline constexpr int kExitStopped = 5;   // a stop was requested (SIGINT, SIGTERM)

}  // namespace tarvo::cli
