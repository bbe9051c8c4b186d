#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/station_files.h"

namespace tarvo::pages {

// The five pages of the main window's sheet in tab order (Operation, Setting, RD Setting,
// DotWeight, ShowROMData) and what they share: the station's run-time data (the operation page
// and the ROM data viewer work on the same blocks and chart label record) and the station's
// settings files in the context's station folder.
class PageSheet : public QObject {
  Q_OBJECT

 public:
  static constexpr int kPageCount = 5;
  static const char* Caption(int index);

  // Makes the pages without a parent; the caller puts them into its sheet, which then owns them.
  explicit PageSheet(PageHost& host, QObject* parent = nullptr);
  // Deletes the pages that are still there, before the data they show.
  ~PageSheet() override;

  PageView* page(int index) const;
  StationData& data() { return data_; }
  const station::StationFiles& files() const { return files_; }

  // Tells every page that an operation started or ended.
  void SetDeviceBusy(bool busy);

 private:
  StationData data_;
  station::StationFiles files_;
  std::vector<QPointer<PageView>> pages_;
};

}  // namespace tarvo::pages
