#pragma once

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"

namespace tarvo::pages {

// The "Operation" page (187): the station selector, the step list and the results.
class OperationPageView : public PageView {
  Q_OBJECT

 public:
  OperationPageView(PageHost& host, StationData& data, const station::StationFiles& files,
                    QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

 private:
  PageHost& host_;
};

}  // namespace tarvo::pages
