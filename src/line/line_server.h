#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "line/dashboard.h"
#include "line/live_hub.h"
#include "line/reader_pool.h"

namespace httplib {
class Server;
}

namespace tarvo::line {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port (port() tells which)
  // Basic authentication when `user` is set.
  std::string user;
  std::string password;
  // TLS when both are set.
  std::string tls_cert;
  std::string tls_key;
  std::string chart_js;  // the installed Chart.js; empty: the one Debian installs
  Thresholds thresholds;
  std::function<std::chrono::system_clock::time_point()> now = [] {
    return std::chrono::system_clock::now();
  };
  // How often a keep-alive comment goes down an idle live connection.
  std::chrono::milliseconds keepalive{15'000};
};

// The dashboard's HTTP server: the pages, their scripts, Chart.js, the JSON (and CSV) answers
// and the live event stream. Every route only reads.
class LineServer {
 public:
  LineServer(ServerOptions options, ReaderFactory open_reader);
  ~LineServer();
  LineServer(const LineServer&) = delete;
  LineServer& operator=(const LineServer&) = delete;

  // Binds the address; false with the reason.
  bool Bind(std::string* error);
  int port() const { return port_; }
  // Serves until Stop.
  void Run();
  void Stop();

  // New records are told here (by a watcher) and passed on to the live connections.
  LiveHub& hub() { return hub_; }

  // The answer of one endpoint ("/api/now", ...) to query parameters, as the HTTP route gives
  // it: the status and the JSON.
  struct Answer {
    int status = 200;
    Json body;
  };
  Answer Query(const std::string& endpoint,
               const std::function<std::string(const std::string&)>& param);

 private:
  void Routes();

  ServerOptions options_;
  ReaderPool pool_;
  LiveHub hub_;
  std::unique_ptr<httplib::Server> http_;
  int port_ = 0;
};

// The default Chart.js of Debian's libjs-chart.js: chart.umd.js (version 4) or chart.min.js.
std::string InstalledChartJs();

}  // namespace tarvo::line
