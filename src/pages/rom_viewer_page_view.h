#pragma once

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"

namespace tarvo::pages {

// The "ShowROMData" page (213): the ROM summary and the service operation lists.
class RomViewerPageView : public PageView {
  Q_OBJECT

 public:
  RomViewerPageView(PageHost& host, StationData& data, const station::StationFiles& files,
                    QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

 private:
  PageHost& host_;
};

}  // namespace tarvo::pages
