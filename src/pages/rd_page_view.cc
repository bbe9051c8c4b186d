#include "pages/rd_page_view.h"

namespace tarvo::pages {

RdPageView::RdPageView(PageHost& host, StationData& data, QWidget* parent)
    : PageView(parent), host_(host) {
  (void)data;
}

void RdPageView::SetDeviceBusy(bool busy) {
  setEnabled(!busy);
}

}  // namespace tarvo::pages
