#include "app/startup.h"

#include <QString>
#include <string_view>

#include "app/message_box.h"

namespace tarvo::app {

bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h" || arg == "--version") return true;
  }
  return false;
}

bool PersonSeesWindows(const QString& platform_name) {
  return platform_name != "offscreen" && platform_name != "minimal";
}

void TellStartupError(const std::string& problem, std::ostream& err, bool box) {
  err << "Tarvo: " << problem << "\n";
  err.flush();
  if (box) ShowMessageBox(Message{problem, "Tarvo", Icon::kError, Buttons::kOk});
}

}  // namespace tarvo::app
