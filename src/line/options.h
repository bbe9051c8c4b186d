#pragma once

#include <optional>
#include <string>

#include "line/line_server.h"

namespace tarvo::line {

// What tarvo-line was asked for: where the records are, and how to serve them.
struct LineOptions {
  std::string database_url;  // the line database (libpq string or URL), or
  std::string records_file;  // one machine's records file
  ServerOptions server;
  int poll_ms = 1000;  // a records file's change mark is read this often
};

// From the command line and the environment (TARVO_LINE_URL: the database's URL, kept out of the
// process list; TARVO_LINE_PASSWORD: the basic authentication's password). Nothing with
// `error` set when they do not make sense; exit code 0 in `exit` when --help was asked for.
std::optional<LineOptions> ParseOptions(int argc, char** argv, std::string* error, int* exit);

}  // namespace tarvo::line
