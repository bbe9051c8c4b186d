#include "pages/page_view.h"

namespace tarvo::pages {

PageView::~PageView() = default;

}  // namespace tarvo::pages
