// Tarvo: the desktop program of the test stations.
#include <QApplication>
#include <iostream>
#include <sstream>
#include <string>

#include "app/app_icon.h"
#include "app/app_options.h"
#include "app/app_runtime.h"
#include "app/main_window.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  int status = 0;
  // Answered before QApplication, which aborts where there is no display.
  if (tarvo::app::AsksForHelpOrVersion(argc, argv)) {
    if (!tarvo::app::ParseAppOptions(argc, argv, std::cout, std::cerr, &status)) return status;
  }

  QApplication qt(argc, argv);
  QApplication::setApplicationName("Tarvo");
  QApplication::setApplicationVersion(TARVO_VERSION);
  QApplication::setWindowIcon(tarvo::app::AppIcon());
  QApplication::setDesktopFileName("tarvo");

  auto options = tarvo::app::ParseAppOptions(argc, argv, std::cout, std::cerr, &status);
  if (!options) return status;

  std::string error, notes;
  auto runtime = tarvo::app::AppRuntime::Make(*options, nullptr, &error, &notes);
  std::istringstream told(notes);
  for (std::string line; std::getline(told, line);) std::cerr << "Tarvo: " << line << "\n";
  if (!runtime) {
    tarvo::app::TellStartupError(error, std::cerr,
                                 tarvo::app::PersonSeesWindows(QApplication::platformName()));
    return 2;
  }
  tarvo::app::MainWindow window(*runtime);
  window.exec();
  return 0;
}
