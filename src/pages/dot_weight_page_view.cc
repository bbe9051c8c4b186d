#include "pages/dot_weight_page_view.h"

namespace tarvo::pages {

DotWeightPageView::DotWeightPageView(PageHost& host, QWidget* parent)
    : PageView(parent), host_(host) {}

void DotWeightPageView::SetDeviceBusy(bool busy) {
  setEnabled(!busy);
}

}  // namespace tarvo::pages
