#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "station/dot_weight_page.h"
#include "station/station_files.h"
#include "win32app/page_host.h"
#include "win32app/page_window.h"

namespace tarvo::win32app {

// A page of push buttons, each starting its action on the host's worker.
class ButtonPage : public PageWindow {
 public:
  struct Entry {
    int id;
    const wchar_t* text;
    PageHost::Operation action;
    bool reaches_printer;
  };

  void SetDeviceBusy(bool busy) override;

 protected:
  // `columns` buttons a row, centred on the page.
  ButtonPage(PageHost& host, std::vector<Entry> entries, int columns, int width, int height)
      : host_(host),
        entries_(std::move(entries)),
        columns_(columns),
        width_(width),
        height_(height) {}
  void Build() override;
  void Command(int id, int code) override;

 private:
  PageHost& host_;
  std::vector<Entry> entries_;
  int columns_, width_, height_;
};

// The "Setting" page (184): "Station 1" (1273) and "Station 2" (1274) edit the station settings
// files, "Set Initial Bi-d Value" (1275) and "Set Ink Syetem Init Value" (1305) the printer
// option settings; each editor shows through the program's operator.
class SettingPageWindow : public ButtonPage {
 public:
  SettingPageWindow(PageHost& host, const station::StationFiles& files);
  const wchar_t* caption() const override { return L"Setting"; }
};

// The "DotWeight" page (201): "Cleanning" (1282), "Print Nozzle Check" (1283), "Mono Dot Weight"
// (1280), "CMY Dot Weight" (1281) over the dot weight page model.
class DotWeightPageWindow : public ButtonPage {
 public:
  explicit DotWeightPageWindow(PageHost& host);
  ~DotWeightPageWindow() override;
  const wchar_t* caption() const override { return L"DotWeight"; }

 private:
  DotWeightPageWindow(PageHost& host, std::unique_ptr<station::DotWeightPage> page);
  std::unique_ptr<station::DotWeightPage> page_;
};

}  // namespace tarvo::win32app
