#include "pages/operation_page_view.h"

namespace tarvo::pages {

OperationPageView::OperationPageView(PageHost& host, StationData& data,
                                     const station::StationFiles& files, QWidget* parent)
    : PageView(parent), host_(host) {
  (void)data;
  (void)files;
}

void OperationPageView::SetDeviceBusy(bool busy) {
  setEnabled(!busy);
}

}  // namespace tarvo::pages
