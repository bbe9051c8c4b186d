#pragma once

#include <memory>
#include <vector>

#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/dot_weight_page.h"

class QPushButton;

namespace tarvo::pages {

// The "DotWeight" page (201): "Cleanning" (1282), "Print Nozzle Check" (1283), "Mono Dot Weight"
// (1280) and "CMY Dot Weight" (1281), each run on the host's device worker. The measurement
// dialog ("MeasureResult") shows through the program's operator like every other dialog.
class DotWeightPageView : public PageView {
  Q_OBJECT

 public:
  explicit DotWeightPageView(PageHost& host, QWidget* parent = nullptr);
  ~DotWeightPageView() override;

  void SetDeviceBusy(bool busy) override;

  QPushButton* button(int id) const;
  // The model; read it only while no operation runs.
  const station::DotWeightPage& model() const { return *page_; }

 private:
  PageHost& host_;
  std::unique_ptr<station::DotWeightPage> page_;
  std::vector<QPushButton*> buttons_;
};

}  // namespace tarvo::pages
