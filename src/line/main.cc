// tarvo-line: the line's dashboard, served to the browsers of the line.
#include <csignal>
#include <iostream>
#include <memory>

#include "line/line_server.h"
#include "line/options.h"
#include "line/watcher.h"
#include "records/line_reader.h"

namespace {

tarvo::line::LineServer* running = nullptr;

void OnSignal(int) {
  if (running) running->Stop();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvo;
  std::string error;
  int exit = 0;
  std::optional<line::LineOptions> o = line::ParseOptions(argc, argv, &error, &exit);
  if (!o) {
    if (!error.empty()) std::cerr << "tarvo-line: " << error << "\n";
    return exit;
  }
  const std::string url = o->database_url, file = o->records_file;
  line::ReaderFactory open = [url, file](std::string* why) {
    return url.empty() ? records::OpenRecordsFileReader(file, why)
                       : records::OpenLineDatabaseReader(url, why);
  };
  // A first reader now, so a wrong URL or file is told at once (the server starts anyway and
  // answers 503 until the records can be read).
  if (!open(&error)) std::cerr << "tarvo-line: the records cannot be read yet: " << error << "\n";
  line::LineServer server(o->server, open);
  if (!server.Bind(&error)) {
    std::cerr << "tarvo-line: " << error << "\n";
    return 1;
  }
  std::unique_ptr<line::Watcher> watcher;
  auto log = [](const std::string& text) { std::cerr << "tarvo-line: " << text << std::endl; };
  if (!url.empty()) {
    watcher = std::make_unique<line::NotifyWatcher>(url, server.hub(), log);
  } else {
    watcher = std::make_unique<line::PollWatcher>(open, server.hub(), o->poll_ms);
  }
  running = &server;
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::cerr << "tarvo-line: serving "
            << (url.empty() ? "the records file " + file : std::string("the line database"))
            << " on " << (o->server.tls_cert.empty() ? "http" : "https") << "://" << o->server.host
            << ":" << server.port() << "/" << std::endl;
  server.Run();
  running = nullptr;
  return 0;
}
