#include "cli/run.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/stop_request.h"
#include "cli/command.h"
#include "cli/session.h"
#include "runtime/runtime.h"
#include "station/device_frame.h"

namespace tarvo::cli {
namespace {

struct Options {
  std::string printer = "usb";
  std::string edition = "program";
  std::string op = "tty";
  std::string transcript;
  std::string wire_log;
  std::string station_dir;  // empty: the current directory
  bool virtual_time = false;
  std::vector<std::string> words;  // the command line after the options
};

// Runs one command with its arguments, in the device frame when it talks to the printer and the
// link is not open yet.
int RunCommand(Session& session, const std::vector<std::string>& words);

// "session FILE": the commands of a file, one per line, sharing the link and the blocks of one
// run. Stops at the first command that fails.
int RunSessionFile(Session& session, const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    session.err << "tarvo-cli: cannot read session file " << path << "\n";
    return kExitUsage;
  }
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    std::istringstream split(line);
    std::vector<std::string> words;
    for (std::string w; split >> w;) words.push_back(w);
    if (words.empty() || words[0].starts_with("#")) continue;
    session.out << "> " << line << "\n";
    int status = RunCommand(session, words);
    if (status != kExitOk) {
      session.err << "tarvo-cli: " << path << ":" << number << ": " << words[0] << " failed\n";
      return status;
    }
  }
  return kExitOk;
}

int RunCommand(Session& session, const std::vector<std::string>& words) {
  if (words[0] == "session") {
    if (words.size() != 2) {
      session.err << "tarvo-cli: usage: session FILE\n";
      return kExitUsage;
    }
    return RunSessionFile(session, words[1]);
  }
  const Command* command = FindCommand(words[0]);
  if (!command) {
    session.err << "tarvo-cli: unknown command \"" << words[0] << "\" (see --help)\n";
    return kExitUsage;
  }
  int args = static_cast<int>(words.size()) - 1;
  if (args < command->min_args || args > command->max_args) {
    session.err << "tarvo-cli: usage: " << command->name << " " << command->usage << "\n";
    return kExitUsage;
  }
  const uint64_t save_failures = session.sim ? session.sim->save_failures() : 0;
  int status = kExitOk;
  auto run = [&] {
    // The EEPROM writes of the command are journalled under its name.
    if (session.ctx.records) session.ctx.records->BeginOperation(command->name);
    try {
      status = command->run(session, std::span(words).subspan(1));
    } catch (const OperatorAborted&) {
      // The frame closes the link as the stop unwinds; the end of the run tells it was open.
      if (session.link.is_open()) session.link_open_at_stop = true;
      throw;
    }
  };
  if (!command->needs_link || session.link.is_open()) {
    run();
  } else if (!station::RunInDeviceFrame(session.link, run)) {
    session.err << "tarvo-cli: the printer is off line\n";
    return kExitOffline;
  }
  // The simulated printer has told why; a state that was not kept fails the command.
  if (status == kExitOk && session.sim && session.sim->save_failures() > save_failures) {
    status = kExitFailed;
  }
  return status;
}

std::string CommandList() {
  std::string text =
      "Commands (chain several with \" + \"; \"session FILE\" runs a file of them):\n";
  for (const Command* c : AllCommands()) {
    std::string head = "  " + std::string(c->name) + " " + std::string(c->usage);
    if (head.size() < 34) head.resize(34, ' ');
    text += head + " " + std::string(c->help) + "\n";
  }
  text += "  session FILE                       run the commands of FILE, one per line\n";
  return text + "\n" + runtime::EnvironmentHelp();
}

}  // namespace

int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
        StopRequest* stop) {
  Options opt;
  CLI::App app{
      "tarvo-cli: service and production-line tool for the printer family\n"
      "  tarvo-cli [OPTIONS] COMMAND [ARGS...] [+ COMMAND [ARGS...]]..."};
  app.set_version_flag("--version", std::string("tarvo-cli ") + TARVO_VERSION);
  app.add_option("--printer", opt.printer, "usb (default) or sim[:STATE_FILE[?FAULTS]]")
      ->envname("TARVO_PRINTER");
  app.add_option("--edition", opt.edition, "program (default) or library")
      ->check(CLI::IsMember({"program", "library"}));
  app.add_option("--operator", opt.op, "tty (default) or script:FILE")->envname("TARVO_OPERATOR");
  app.add_option("--transcript", opt.transcript, "write every operator interaction to FILE")
      ->envname("TARVO_TRANSCRIPT");
  app.add_option("--wire-log", opt.wire_log, "write the printer traffic and waits to FILE")
      ->envname("TARVO_WIRE_LOG");
  app.add_option("--station-dir", opt.station_dir,
                 "the folder of the chart, dot, shipping and station files (default: the "
                 "current directory)")
      ->envname("TARVO_STATION_DIR");
  app.add_flag("--virtual-time", opt.virtual_time,
               "simulated printer only: log the waits instead of waiting")
      ->envname("TARVO_VIRTUAL_TIME");
  // Everything from the first word that is not an option of tarvo-cli on is the command line of
  // the commands, in order, options of the commands ("records list --serial S") included.
  app.prefix_command();
  app.footer(CommandList);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err) == 0 ? kExitOk : kExitUsage;
  }
  for (const auto& extra : app.remaining()) opt.words.push_back(extra);
  if (opt.words.empty()) {
    err << app.help() << "\n";
    return kExitUsage;
  }

  runtime::Options options;
  options.printer = opt.printer;
  options.edition = opt.edition == "library" ? &kLibraryEdition : &kProgramEdition;
  options.virtual_time = opt.virtual_time;
  options.op = opt.op;
  options.in = &in;
  options.out = &out;
  options.transcript = opt.transcript;
  options.wire_log = opt.wire_log;
  options.station_dir = opt.station_dir;
  options.stop = stop;
  options.tell = [&err](const runtime::Notice& n) { err << "tarvo-cli: " << n.Line() << "\n"; };
  std::string error, notes;
  auto rt = runtime::Runtime::Make(std::move(options), &error, &notes);
  for (size_t at = 0, end; (end = notes.find('\n', at)) != std::string::npos; at = end + 1) {
    err << "tarvo-cli: " << notes.substr(at, end - at) << "\n";
  }
  if (!rt) {
    err << "tarvo-cli: " << error << "\n";
    return kExitUsage;
  }
  StopRequest& stop_request = rt->stop();
  PrinterLink& link = rt->link();
  Session session(rt->ctx(), rt->backend(), link, out, err, rt->sim());
  session.records = rt->keeper();

  int status = kExitOk;
  bool stopped = false;
  try {
    std::vector<std::string> words;
    for (size_t i = 0; i <= opt.words.size() && status == kExitOk; ++i) {
      if (i == opt.words.size() || opt.words[i] == "+") {
        if (!words.empty()) status = RunCommand(session, words);
        words.clear();
      } else {
        words.push_back(opt.words[i]);
      }
    }
  } catch (const OperatorAborted& e) {
    // A prompt reading the terminal gives up when the signal comes: that is the stop, too.
    stopped = stop_request.requested();
    if (!stopped) {
      err << "tarvo-cli: stopped: " << e.what() << "\n";
      status = kExitOperator;
    }
  }
  const bool was_open = link.is_open() || session.link_open_at_stop;
  if (was_open) link.HandleClose();
  if (stopped) {
    err << "tarvo-cli: stopped on request" << (was_open ? "; the printer link is closed" : "")
        << "\n";
    status = kExitStopped;
  }
  return status;
}

}  // namespace tarvo::cli
