#pragma once

#include <string>
#include <vector>

namespace tarvo::win32app {

// Tarvo.exe from its arguments (after the program name) to its exit status: --version and --help
// answer on the console the program was started from (else in a box); otherwise the runtime is
// built from the options and the main window runs until it ends.
int RunProgram(const std::vector<std::string>& args);

}  // namespace tarvo::win32app
