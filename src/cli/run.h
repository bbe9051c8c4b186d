#pragma once

#include <istream>
#include <ostream>

namespace tarvo {
class StopRequest;
}

namespace tarvo::cli {

// tarvo-cli as a function: parses the command line, builds the runtime of the front ends from it
// (src/runtime), runs the commands and returns the exit status. The operator reads `in` and writes
// `out`. `stop` (one of its own when nullptr) ends the run at the next wait or transfer, with the
// link closed and kExitStopped; it is never cleared, so a request stops every command still to
// come.
int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
        StopRequest* stop = nullptr);

}  // namespace tarvo::cli
