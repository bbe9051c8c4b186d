#pragma once

#include <map>
#include <memory>

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/rom_viewer_page.h"
#include "station/station_files.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace tarvo::pages {

// The "ShowROMData" page (213): on the left the drop-down box (1271) of the three operation lists
// and the list (1267) of the chosen one, whose double-click runs the entry on the host's device
// worker; on the right, read-only, the printer's identity, the integers in "Adjustment Value" and
// the flags in "Flag", shown again from the model after every operation. "Read ROM Data" in the
// first two lists checks the customer against the Station 2 settings of the station folder.
class RomViewerPageView : public PageView {
  Q_OBJECT

 public:
  RomViewerPageView(PageHost& host, StationData& data, const station::StationFiles& files,
                    QWidget* parent = nullptr);
  ~RomViewerPageView() override;

  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override;

  QComboBox* drop_down() const { return drop_down_; }
  QListWidget* list() const { return list_; }
  // The display box of control `id`, or nullptr.
  QLineEdit* field(int id) const;
  // The model; read it only while no operation runs.
  const station::RomViewerPage& model() const { return *page_; }

 private:
  void ShowList();
  void ShowDisplay();

  PageHost& host_;
  std::unique_ptr<station::RomViewerPage> page_;
  QComboBox* drop_down_;
  QListWidget* list_;
  std::map<int, QLineEdit*> fields_;
};

}  // namespace tarvo::pages
