#pragma once

#include <istream>
#include <ostream>

namespace tarvo::cli {

// tarvo-cli as a function: parses the command line, builds the ports and the printer, runs the
// commands and returns the exit status. The operator reads `in` and writes `out`.
int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
