#pragma once

#include <ostream>
#include <string>

class QString;

namespace tarvo::app {

// Whether the command line asks for --help or --version: they are answered before any window
// system is touched, so that they work where there is no display.
bool AsksForHelpOrVersion(int argc, char** argv);

// Whether a person can see the windows of this Qt platform plugin (not "offscreen", "minimal").
bool PersonSeesWindows(const QString& platform_name);

// A problem that ends the program before its window opens (an unusable printer or station
// folder): on `err` as "Tarvo: <problem>", and, when `box`, in an error box as well, for a
// program started from a desktop entry, whose standard error nobody reads.
void TellStartupError(const std::string& problem, std::ostream& err, bool box);

}  // namespace tarvo::app
