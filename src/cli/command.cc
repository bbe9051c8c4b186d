#include "cli/command.h"

#include <algorithm>
#include <map>

namespace tarvo::cli {

static std::map<std::string, Command, std::less<>>& Registry() {
  static std::map<std::string, Command, std::less<>> registry;
  return registry;
}

Command LinkCommand(std::string_view name, std::string_view help, CommandBody run) {
  return LinkCommand(name, "", help, 0, std::move(run));
}

Command LinkCommand(std::string_view name, std::string_view usage, std::string_view help, int args,
                    CommandBody run) {
  return {.name = name,
          .usage = usage,
          .help = help,
          .min_args = args,
          .max_args = args,
          .needs_link = true,
          .run = std::move(run)};
}

bool RegisterCommand(Command command) {
  std::string name(command.name);
  return Registry().emplace(std::move(name), std::move(command)).second;
}

const Command* FindCommand(std::string_view name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : &it->second;
}

std::vector<const Command*> AllCommands() {
  std::vector<const Command*> out;
  for (auto& [name, command] : Registry()) out.push_back(&command);
  return out;
}

std::string FailureNote(const Outcome& outcome) {
  if (outcome.ok()) return {};
  std::string note = " (" + std::string(KindName(outcome.kind));
  if (!outcome.step.empty()) note += ": " + outcome.step;
  return note + ")";
}

int ExitStatus(const Outcome& outcome, bool cancel_ok) {
  if (outcome.ok()) return kExitOk;
  if (cancel_ok && outcome.kind == OutcomeKind::kCancelled) return kExitOk;
  if (outcome.passed_over && outcome.kind != OutcomeKind::kTransferFailed &&
      outcome.kind != OutcomeKind::kVerifyFailed) {
    return kExitOk;
  }
  return kExitFailed;
}

std::string FailureNoteFor(const Outcome& outcome, bool cancel_ok) {
  return ExitStatus(outcome, cancel_ok) == kExitOk ? std::string() : FailureNote(outcome);
}

}  // namespace tarvo::cli
