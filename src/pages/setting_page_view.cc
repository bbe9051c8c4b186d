#include "pages/setting_page_view.h"

namespace tarvo::pages {

SettingPageView::SettingPageView(PageHost& host, const station::StationFiles& files,
                                 QWidget* parent)
    : PageView(parent), host_(host) {
  (void)files;
}

void SettingPageView::SetDeviceBusy(bool busy) {
  setEnabled(!busy);
}

}  // namespace tarvo::pages
