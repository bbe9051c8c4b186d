#pragma once

#include <map>
#include <memory>

#include "model/station_data.h"
#include "station/rd_page.h"
#include "station/rom_viewer_page.h"
#include "station/station_files.h"
#include "win32app/page_host.h"
#include "win32app/page_window.h"

namespace tarvo::win32app {

// The "RD Setting" page (192): the thirteen engineering operations in one list (1267); a
// double-click runs the selected entry on the worker. The selection goes whenever the list
// loses the focus.
class RdPageWindow : public PageWindow {
 public:
  static constexpr int kListId = 1267;

  RdPageWindow(PageHost& host, StationData& data);
  ~RdPageWindow() override;
  const wchar_t* caption() const override { return L"RD Setting"; }
  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override;
  void Left() override { FocusLost(); }

 protected:
  void Build() override;
  void Command(int id, int code) override;

 private:
  void FocusLost();

  PageHost& host_;
  std::unique_ptr<station::RdPage> page_;
};

// The "ShowROMData" page (213): the drop-down box of the three operation lists (1271), the list
// of the chosen one (1267), and the printer's identity, adjustment values, flags and counters
// from the ROM summary record, shown again after every double-click.
class RomViewerPageWindow : public PageWindow {
 public:
  static constexpr int kDropDownId = 1271;
  static constexpr int kListId = 1267;

  RomViewerPageWindow(PageHost& host, StationData& data, const station::StationFiles& files);
  ~RomViewerPageWindow() override;
  const wchar_t* caption() const override { return L"ShowROMData"; }
  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override { ShowDisplay(); }

 protected:
  void Build() override;
  void Command(int id, int code) override;

 private:
  void ShowList();
  void ShowDisplay();

  PageHost& host_;
  std::unique_ptr<station::RomViewerPage> page_;
  std::map<int, HWND> fields_;
};

}  // namespace tarvo::win32app
