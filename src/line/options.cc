#include "line/options.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <fstream>

namespace tarvo::line {

std::optional<LineOptions> ParseOptions(int argc, char** argv, std::string* error, int* exit) {
  LineOptions o;
  const char* listen_env = std::getenv("TARVO_LINE_LISTEN");
  std::string listen = listen_env && *listen_env ? listen_env : "127.0.0.1:8080";
  std::string password_file;
  CLI::App app("tarvo-line: the line's dashboard in a browser", "tarvo-line");
  app.add_option("--records", o.records_file, "one machine's records file (SQLite), read-only");
  app.add_option("--listen", listen,
                 "ADDR:PORT to serve on (default TARVO_LINE_LISTEN, else 127.0.0.1:8080)");
  app.add_option("--user", o.server.user, "ask browsers for this user (basic authentication)");
  app.add_option("--password-file", password_file,
                 "its password, the file's first line (else TARVO_LINE_PASSWORD)");
  app.add_option("--tls-cert", o.server.tls_cert, "serve HTTPS with this certificate (PEM)");
  app.add_option("--tls-key", o.server.tls_key, "and this private key (PEM)");
  app.add_option("--chart-js", o.server.chart_js, "Chart.js to serve (default: Debian's)");
  app.footer(
      "The line database's URL comes from TARVO_LINE_URL (a libpq URL or key/value string, for "
      "a role in tarvo_reader); --records reads a records file instead.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    *exit = app.exit(e);
    if (e.get_exit_code() != 0) *error = e.what();
    return std::nullopt;
  }
  if (const char* url = std::getenv("TARVO_LINE_URL"); url && o.records_file.empty()) {
    o.database_url = url;
  }
  if (o.database_url.empty() && o.records_file.empty()) {
    *error = "no records to show: set TARVO_LINE_URL to the line database, or give --records FILE";
    *exit = 2;
    return std::nullopt;
  }
  const size_t colon = listen.rfind(':');
  try {
    if (colon == std::string::npos) throw std::invalid_argument(listen);
    o.server.host = listen.substr(0, colon);
    if (o.server.host.size() > 1 && o.server.host.front() == '[' && o.server.host.back() == ']') {
      o.server.host = o.server.host.substr(1, o.server.host.size() - 2);
    }
    size_t used = 0;
    o.server.port = std::stoi(listen.substr(colon + 1), &used);
    if (used != listen.size() - colon - 1 || o.server.port < 0 || o.server.port > 65535 ||
        o.server.host.empty()) {
      throw std::invalid_argument(listen);
    }
  } catch (const std::exception&) {
    *error = "--listen takes ADDR:PORT, e.g. 0.0.0.0:8080";
    *exit = 2;
    return std::nullopt;
  }
  if (o.server.tls_cert.empty() != o.server.tls_key.empty()) {
    *error = "--tls-cert and --tls-key go together";
    *exit = 2;
    return std::nullopt;
  }
  if (!o.server.user.empty()) {
    if (!password_file.empty()) {
      std::ifstream in(password_file);
      if (!in || !std::getline(in, o.server.password)) {
        *error = "cannot read the password from " + password_file;
        *exit = 2;
        return std::nullopt;
      }
    } else if (const char* p = std::getenv("TARVO_LINE_PASSWORD")) {
      o.server.password = p;
    }
    if (o.server.password.empty()) {
      *error = "--user needs a password: --password-file FILE or TARVO_LINE_PASSWORD";
      *exit = 2;
      return std::nullopt;
    }
  }
  return o;
}

}  // namespace tarvo::line
