#include <iostream>

#include "cli/run.h"

int main(int argc, char** argv) {
  return tarvo::cli::Run(argc, argv, std::cin, std::cout, std::cerr);
}
