#pragma once

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"

namespace tarvo::pages {

// The "RD Setting" page (192): thirteen engineering operations in one list.
class RdPageView : public PageView {
  Q_OBJECT

 public:
  RdPageView(PageHost& host, StationData& data, QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

 private:
  PageHost& host_;
};

}  // namespace tarvo::pages
