#pragma once

#include <memory>

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/rd_page.h"

class QListWidget;

namespace tarvo::pages {

// The "RD Setting" page (192): thirteen engineering operations in one list (1267). A double-click
// selects the entry and runs it on the host's device worker. The list losing the focus (another
// page's tab, a dialog) clears the selection: an entry is selected and double-clicked in one go.
class RdPageView : public PageView {
  Q_OBJECT

 public:
  RdPageView(PageHost& host, StationData& data, QWidget* parent = nullptr);
  ~RdPageView() override;

  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override;

  QListWidget* list() const { return list_; }
  // The model; read it only while no operation runs.
  const station::RdPage& model() const { return *page_; }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Run(int position);
  void FocusLost();

  PageHost& host_;
  std::unique_ptr<station::RdPage> page_;
  QListWidget* list_;
};

}  // namespace tarvo::pages
