#include "line/line_server.h"

#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "line/csv.h"
#include "line/web_assets.h"

namespace tarvo::line {
namespace {

// Pages may run their own scripts and nothing else: a printer's text that slipped into the page
// as markup would still not run.
constexpr const char* kPolicy =
    "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'";

constexpr std::pair<const char*, const char*> kPages[] = {
    {"/", "now.html"},
    {"/yield", "yield.html"},
    {"/failures", "failures.html"},
    {"/adjustments", "adjustments.html"},
    {"/printer", "printer.html"},
};

std::string TypeOf(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  return "application/octet-stream";
}

const WebAsset* Asset(std::string_view name) {
  for (const WebAsset& a : WebAssets()) {
    if (a.name == name) return &a;
  }
  return nullptr;
}

// A local time as the records keep it: "2026-12-08", "2026-12-08T11", "2026-12-08T11:00:00".
bool IsTime(const std::string& t) {
  if (t.size() < 10 || t.size() > 19) return false;
  for (char c : t) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != 'T' && c != ':') {
      return false;
    }
  }
  return true;
}

std::string LocalDay(std::chrono::system_clock::time_point t) {
  const time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

Json Problem(const std::string& why) {
  return Json{{"error", why}};
}

}  // namespace

std::string InstalledChartJs() {
  for (const char* path : {"/usr/share/javascript/chart.js/chart.umd.js",
                           "/usr/share/javascript/chart.js/chart.min.js"}) {
    if (std::filesystem::exists(path)) return path;
  }
  return {};
}

LineServer::LineServer(ServerOptions options, ReaderFactory open_reader)
    : options_(std::move(options)), pool_(std::move(open_reader)) {
  if (options_.chart_js.empty()) options_.chart_js = InstalledChartJs();
  if (!options_.tls_cert.empty() && !options_.tls_key.empty()) {
    http_ =
        std::make_unique<httplib::SSLServer>(options_.tls_cert.c_str(), options_.tls_key.c_str());
  } else {
    http_ = std::make_unique<httplib::Server>();
  }
  // A live page holds its connection for as long as it is open: room for many of them.
  http_->new_task_queue = [] { return new httplib::ThreadPool(96); };
  Routes();
}

LineServer::~LineServer() {
  Stop();
}

bool LineServer::Bind(std::string* error) {
  if (!http_->is_valid()) {
    *error = "the TLS certificate or key cannot be read";
    return false;
  }
  if (options_.port == 0) {
    port_ = http_->bind_to_any_port(options_.host);
  } else {
    port_ = http_->bind_to_port(options_.host, options_.port) ? options_.port : -1;
  }
  if (port_ <= 0) {
    *error = "cannot listen on " + options_.host + ":" + std::to_string(options_.port);
    return false;
  }
  return true;
}

void LineServer::Run() {
  http_->listen_after_bind();
}

void LineServer::Stop() {
  hub_.Close();
  if (http_) http_->stop();
}

LineServer::Answer LineServer::Query(const std::string& endpoint,
                                     const std::function<std::string(const std::string&)>& get) {
  records::LineFilter filter;
  filter.from = get("from");
  filter.to = get("to");
  if (filter.from.empty() && filter.to.empty()) {
    filter.from = LocalDay(options_.now() - std::chrono::hours(24 * 6));
  }
  for (const std::string* t : {&filter.from, &filter.to}) {
    if (!t->empty() && !IsTime(*t)) {
      return {400, Problem("from and to are local times: 2026-12-08 or 2026-12-08T11:00:00")};
    }
  }
  const std::string station = get("station");
  if (station == "1" || station == "2") {
    filter.station = station[0] - '0';
  } else if (!station.empty() && station != "0") {
    return {400, Problem("station is 1 or 2")};
  }
  std::string error;
  ReaderPool::Lease reader = pool_.Take(&error);
  if (!reader.get()) return {503, Problem(error)};
  Json body;
  if (endpoint == "/api/now") {
    body = LineNow(reader->LastSteps(), options_.now(), options_.thresholds);
  } else if (endpoint == "/api/yield") {
    std::string by = get("by");
    if (by.empty()) by = "day";
    if (by != "day" && by != "shift" && by != "hour") {
      return {400, Problem("by is day, shift or hour")};
    }
    body = Yield(reader->YieldCounts(filter), by);
  } else if (endpoint == "/api/failures") {
    body = Failures(reader->FailedSteps(filter));
  } else if (endpoint == "/api/failures/printers") {
    body = FailedPrinters(reader->FailedSteps(filter), get("slot"));
  } else if (endpoint == "/api/adjustments") {
    filter.station = 2;
    body = Adjustments(reader->LastAdjustments(filter));
  } else if (endpoint == "/api/dotweights") {
    body = DotWeights(reader->DotWeights(filter));
  } else if (endpoint == "/api/printers") {
    const std::string text = get("q");
    if (text.empty()) return {400, Problem("q is a USB serial number, a head ID or a Machine ID")};
    body = Json{{"printers", reader->FindPrinters(text)}};
  } else if (endpoint == "/api/printer") {
    const records::PrinterKey key{get("serial"), get("head")};
    if (key.usb_serial.empty() && key.head_id.empty()) {
      return {400, Problem("serial or head names the printer")};
    }
    Rows steps = reader->PrinterSteps(key);
    Rows journal = reader->ok() ? reader->PrinterJournal(key) : Rows{};
    Rows weights = reader->ok() ? reader->PrinterDotWeights(key) : Rows{};
    body = Printer(key, steps, journal, weights);
  } else {
    return {404, Problem("no such endpoint")};
  }
  if (!reader->ok()) return {503, Problem(reader->error())};
  if (endpoint != "/api/printers" && endpoint != "/api/printer") {
    body["from"] = filter.from;
    body["to"] = filter.to;
    body["station"] = filter.station;
  }
  return {200, std::move(body)};
}

void LineServer::Routes() {
  httplib::Server& http = *http_;
  http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Content-Security-Policy", kPolicy);
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    if (options_.user.empty()) return httplib::Server::HandlerResponse::Unhandled;
    const auto expected =
        httplib::make_basic_authentication_header(options_.user, options_.password);
    const std::string given = req.get_header_value("Authorization");
    // Compared whole, at a cost that does not depend on where they differ.
    bool same = given.size() == expected.second.size();
    unsigned char diff = 0;
    for (size_t i = 0; same && i < given.size(); ++i) diff |= given[i] ^ expected.second[i];
    if (same && diff == 0) return httplib::Server::HandlerResponse::Unhandled;
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"tarvo-line\", charset=\"UTF-8\"");
    res.set_content("authentication required\n", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  });

  for (const auto& [path, page] : kPages) {
    http.Get(path, [name = page](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(Asset(name)->body), TypeOf(name));
    });
  }
  http.Get(R"(/static/([a-z_]+\.(js|css)))",
           [this](const httplib::Request& req, httplib::Response& res) {
             const std::string name = req.matches[1];
             if (name == "chart.js") {
               std::ifstream in(options_.chart_js, std::ios::binary);
               if (!in) {
                 res.status = 404;
                 res.set_content("Chart.js is not installed (libjs-chart.js)\n", "text/plain");
                 return;
               }
               std::ostringstream body;
               body << in.rdbuf();
               res.set_header("Cache-Control", "max-age=86400");
               res.set_content(body.str(), TypeOf(name));
               return;
             }
             const WebAsset* asset = Asset(name);
             if (!asset) {
               res.status = 404;
               return;
             }
             res.set_content(std::string(asset->body), TypeOf(name));
           });

  http.Get(R"(/api/(now|yield|failures|failures/printers|adjustments|dotweights|printers|printer))",
           [this](const httplib::Request& req, httplib::Response& res) {
             Answer a = Query(req.path, [&](const std::string& key) {
               return req.has_param(key.c_str()) ? req.get_param_value(key.c_str()) : std::string();
             });
             res.status = a.status;
             res.set_header("Cache-Control", "no-store");
             if (a.status == 200 && req.get_param_value("format") == "csv") {
               std::string table = req.get_param_value("table");
               const Json* rows = nullptr;
               for (const auto& [key, value] : a.body.items()) {
                 if (value.is_array() && (table.empty() || key == table)) {
                   rows = &value;
                   table = key;
                   break;
                 }
               }
               if (!rows) {
                 res.status = 404;
                 res.set_content(Problem("no such table").dump() + "\n", "application/json");
                 return;
               }
               const std::string file = req.path.substr(5);
               std::string name = "tarvo-" + file + "-" + table + ".csv";
               std::replace(name.begin(), name.end(), '/', '-');
               res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
               res.set_content(Csv(*rows), "text/csv; charset=utf-8");
               return;
             }
             // Printer text is escaped as JSON does; the pages put it in as text, never as markup.
             res.set_content(a.body.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n",
                             "application/json");
           });

  http.Get("/api/events", [this](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Accel-Buffering", "no");
    auto seen = std::make_shared<uint64_t>(hub_.count());
    auto greeted = std::make_shared<bool>(false);
    res.set_chunked_content_provider(
        "text/event-stream", [this, seen, greeted](size_t, httplib::DataSink& sink) {
          if (!*greeted) {
            *greeted = true;
            const std::string hello = "retry: 2000\nevent: hello\ndata: {}\n\n";
            return sink.write(hello.data(), hello.size());
          }
          const uint64_t now = hub_.WaitAfter(*seen, options_.keepalive);
          if (hub_.closed()) {
            sink.done();
            return false;
          }
          std::string text;
          if (now > *seen) {
            *seen = now;
            text = "event: records\ndata: " + Json{{"count", now}}.dump() + "\n\n";
          } else {
            text = ": still here\n\n";
          }
          return sink.write(text.data(), text.size());
        });
  });

  http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) {
      res.set_content(
          Problem(res.status == 404 ? "not found" : "HTTP " + std::to_string(res.status)).dump() +
              "\n",
          "application/json");
    }
  });
}

}  // namespace tarvo::line
