#pragma once

#include "pages/page_host.h"
#include "pages/page_view.h"

namespace tarvo::pages {

// The "DotWeight" page (201): cleaning, nozzle check and the two measurements.
class DotWeightPageView : public PageView {
  Q_OBJECT

 public:
  explicit DotWeightPageView(PageHost& host, QWidget* parent = nullptr);

  void SetDeviceBusy(bool busy) override;

 private:
  PageHost& host_;
};

}  // namespace tarvo::pages
