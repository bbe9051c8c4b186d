#pragma once

#include <vector>

#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"

class QPushButton;

namespace tarvo::pages {

// The "Setting" page (184): four buttons, each opening its editor through the host's device
// worker, so the dialog shows through the program's operator: "Station 1" (1273) and "Station 2"
// (1274) edit the station settings files, "Set Initial Bi-d Value" (1275) and "Set Ink Syetem
// Init Value" (1305) the printer option settings of the settings store.
class SettingPageView : public PageView {
  Q_OBJECT

 public:
  SettingPageView(PageHost& host, const station::StationFiles& files, QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

  // The button of control `id`, or nullptr.
  QPushButton* button(int id) const;

 private:
  PageHost& host_;
  const station::StationFiles& files_;
  std::vector<QPushButton*> buttons_;
};

}  // namespace tarvo::pages
