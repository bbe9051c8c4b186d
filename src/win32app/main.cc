// Tarvo.exe: the program of the line's Windows station PCs.
#include <windows.h>
// shellapi.h needs the types of windows.h
#include <shellapi.h>

#include <string>
#include <vector>

#include "win32app/program.h"
#include "win32ui/wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(tarvo::win32ui::Utf8(argv[i]));
  LocalFree(argv);
  return tarvo::win32app::RunProgram(args);
}
