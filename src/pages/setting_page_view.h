#pragma once

#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"

namespace tarvo::pages {

// The "Setting" page (184): the station settings and the printer option editors.
class SettingPageView : public PageView {
  Q_OBJECT

 public:
  SettingPageView(PageHost& host, const station::StationFiles& files, QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

 private:
  PageHost& host_;
};

}  // namespace tarvo::pages
