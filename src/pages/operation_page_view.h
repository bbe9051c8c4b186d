#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <map>
#include <vector>

#include "model/station_data.h"
#include "pages/page_host.h"
#include "pages/page_view.h"
#include "station/operation_page.h"
#include "station/station_files.h"
#include "station/step_runner.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace tarvo::pages {

class CResultButton;

// The "Operation" page (187): the station selector (1271), the step list (1267), the read-only
// fields of the printer and the chart label record, and the result panel: one CResultButton per
// result slot of the selected station, the total and "Write ROM Fail".
//
// The view shows the step runner's page and hands the person's choices to the host's device
// worker: the runner is driven only there (page initialisation from "3.data" included, since
// loading the Station 1 settings can show a message box). While an operation runs the runner
// tells its observer on the worker; the view copies the page there and shows the copy on the GUI
// thread, so the slots change colour step by step during a chained run.
//
// Every control sits at its place in the page's design area (kDesignSize pixels at the design
// font). A larger font or a larger page scales every position and size by one factor, the result
// labels' text with them, so the panel keeps its proportions; the page never gets smaller than
// the design area at its font. Its size hint is the size at which the step list shows every step.
class OperationPageView : public PageView {
  Q_OBJECT

 public:
  static constexpr QSize kDesignSize{660, 470};
  // The line height (QFontMetrics::height) of the font the design area is laid out for.
  static constexpr int kDesignFontHeight = 15;

  OperationPageView(PageHost& host, StationData& data, const station::StationFiles& files,
                    QWidget* parent = nullptr);
  ~OperationPageView() override;

  void SetDeviceBusy(bool busy) override;
  void OperationEnded() override;

  // The design area scaled so far that the step list shows every step of either station whole,
  // at the page's font: the size a window should give the page at first.
  QSize sizeHint() const override;

  // The factor every design position and size is multiplied by now (1 at the design size).
  double scale() const { return scale_; }
  // `design` (in design pixels) as placed at `scale`.
  static QRect Scaled(const QRect& design, double scale);
  // Whether the runner has been given its page initialisation.
  bool initialised() const { return initialised_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Build();
  QLineEdit* AddField(int id, const char* label, QWidget* parent, const QRect& label_at,
                      const QRect& edit_at);
  void Place(QWidget* widget, const QRect& design);
  void Relayout();
  void UpdateMinimumSize();

  void StartInitialise();
  void StationChosen(int index);
  void StepDoubleClicked(QListWidgetItem* item);

  // Shows a copy of the runner's page (GUI thread).
  void Show(const station::OperationPage& page);
  void ShowSteps(const station::OperationPage& page);
  void ShowPanel(const station::OperationPage& page);
  CResultButton* MakeLabel(const station::ResultLabel& label, const QString& name);
  void ShowLabel(CResultButton* button, const station::ResultLabel& label);

  PageHost& host_;
  station::StepRunner runner_;

  QComboBox* selector_ = nullptr;
  QListWidget* steps_ = nullptr;
  QGroupBox* bid_group_ = nullptr;
  QLabel* total_text_ = nullptr;
  std::map<int, QLineEdit*> fields_;
  std::vector<CResultButton*> slots_;
  CResultButton* total_ = nullptr;
  CResultButton* write_rom_fail_ = nullptr;

  // Every placed widget with its rectangle in design pixels (in its parent's design area).
  std::vector<std::pair<QPointer<QWidget>, QRect>> placed_;
  double scale_ = 1.0;
  int shown_selection_ = -1;
  bool initialised_ = false;
};

}  // namespace tarvo::pages
