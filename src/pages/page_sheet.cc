#include "pages/page_sheet.h"

#include "pages/dot_weight_page_view.h"
#include "pages/operation_page_view.h"
#include "pages/rd_page_view.h"
#include "pages/rom_viewer_page_view.h"
#include "pages/setting_page_view.h"

namespace tarvo::pages {
namespace {

constexpr const char* kCaptions[PageSheet::kPageCount] = {"Operation", "Setting", "RD Setting",
                                                          "DotWeight", "ShowROMData"};

}  // namespace

const char* PageSheet::Caption(int index) {
  return index >= 0 && index < kPageCount ? kCaptions[index] : "";
}

PageSheet::PageSheet(PageHost& host, QObject* parent)
    : QObject(parent), files_(host.ctx().station_dir) {
  pages_ = {
      new OperationPageView(host, data_, files_),
      new SettingPageView(host, files_),
      new RdPageView(host, data_),
      new DotWeightPageView(host),
      new RomViewerPageView(host, data_, files_),
  };
  for (int i = 0; i < kPageCount; ++i) pages_[i]->setObjectName(kCaptions[i]);
}

PageSheet::~PageSheet() {
  for (const QPointer<PageView>& page : pages_) delete page.data();
}

PageView* PageSheet::page(int index) const {
  return index >= 0 && index < kPageCount ? pages_[index].data() : nullptr;
}

void PageSheet::SetDeviceBusy(bool busy) {
  for (const QPointer<PageView>& page : pages_) {
    if (!page) continue;
    page->SetDeviceBusy(busy);
    if (!busy) page->OperationEnded();
  }
}

}  // namespace tarvo::pages
