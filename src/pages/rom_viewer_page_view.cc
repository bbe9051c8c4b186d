#include "pages/rom_viewer_page_view.h"

namespace tarvo::pages {

RomViewerPageView::RomViewerPageView(PageHost& host, StationData& data,
                                     const station::StationFiles& files, QWidget* parent)
    : PageView(parent), host_(host) {
  (void)data;
  (void)files;
}

void RomViewerPageView::SetDeviceBusy(bool busy) {
  setEnabled(!busy);
}

}  // namespace tarvo::pages
