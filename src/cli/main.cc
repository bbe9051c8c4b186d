#include <iostream>

#include "base/stop_request.h"
#include "cli/run.h"
#include "cli/stop_signals.h"

int main(int argc, char** argv) {
  tarvo::StopRequest stop;
  tarvo::cli::StopOnSignals signals(stop);
  return tarvo::cli::Run(argc, argv, std::cin, std::cout, std::cerr, &stop);
}
