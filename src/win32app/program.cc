#include "win32app/program.h"

#include <windows.h>
// commctrl.h needs the types of windows.h
#include <commctrl.h>

#include <sstream>

#include "win32app/main_window.h"
#include "win32app/program_options.h"
#include "win32app/program_runtime.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32app {
namespace {

// A window program has no console of its own: it writes to the one it was started from, if any,
// else shows the text in a box.
void Tell(const std::string& text, bool error) {
  AttachConsole(ATTACH_PARENT_PROCESS);
  HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out && out != INVALID_HANDLE_VALUE &&
      WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    return;
  }
  MessageBoxW(nullptr, win32ui::Wide(text).c_str(), L"Tarvo",
              MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int RunProgram(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args);
  switch (line.ask) {
    case CommandLine::Ask::kVersion:
      Tell("Tarvo " TARVO_VERSION "\n", false);
      return 0;
    case CommandLine::Ask::kHelp:
      Tell(UsageText(), false);
      return 0;
    case CommandLine::Ask::kError:
      Tell("Tarvo: " + line.error + "\n" + UsageText(), true);
      return 2;
    case CommandLine::Ask::kRun:
      break;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  std::string error, notes;
  auto runtime = ProgramRuntime::Make(line.options, nullptr, &error, &notes);
  std::istringstream told(notes);
  for (std::string note; std::getline(told, note);) Tell("Tarvo: " + note + "\n", true);
  if (!runtime) {
    Tell("Tarvo: " + error + "\n", true);
    return 2;
  }
  MainWindow window(*runtime);
  window.Run();
  return 0;
}

}  // namespace tarvo::win32app
