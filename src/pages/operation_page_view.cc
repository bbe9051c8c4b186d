#include "pages/operation_page_view.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "pages/gui_thread.h"
#include "pages/result_button.h"
#include "station/step_lists.h"

namespace tarvo::pages {
namespace {

using station::OperationPage;
using station::ResultLabel;

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The design area: the selector and the step list on the left, the fields on the right, the
// result panel across the bottom (its labels carry their own places).
constexpr QRect kSelectorAt(12, 10, 344, 24);
constexpr QRect kStepsAt(12, 40, 344, 342);
constexpr QRect kTotalTextAt(20, 395, 125, 18);

// The text fields, one row each, label beside its box.
constexpr int kRowPitch = 24;
constexpr int kEditHeight = 22;
constexpr int kTextRowsTop = 10;
constexpr int kTextLabelX = 364, kTextLabelWidth = 92;
constexpr int kTextEditX = 458, kTextEditWidth = 190;
constexpr int kTextFields[] = {station::kProgramField,   station::kFwVersionField,
                               station::kCustomerField,  station::kBeltNameField,
                               station::kPcNameField,    station::kUsbSerialField,
                               station::kHeadIdField,    station::kJigNoField,
                               station::kMachineNoField, station::kMachineIdField};

// The counters, TOF and Left Pos. below them on the left, the Bi-d group on the right.
constexpr int kNumberRowsTop = 258;
constexpr int kNumberLabelX = 364, kNumberLabelWidth = 86;
constexpr int kNumberEditX = 452, kNumberEditWidth = 56;
constexpr int kNumberFields[] = {station::kInkChargeField, station::kCleanNozzleField,
                                 station::kTotalPrintField, station::kTofField,
                                 station::kLeftPosField};
constexpr QRect kBidGroupAt(516, 252, 132, 128);
// Inside the group box.
constexpr int kBidRowsTop = 22, kBidPitch = 26;
constexpr int kBidLabelX = 8, kBidLabelWidth = 44;
constexpr int kBidEditX = 56, kBidEditWidth = 66;
constexpr int kBidFields[] = {station::kMs1Field, station::kMs2Field, station::kVsdField,
                              station::kEcnField};

const char* kBidGroupTitle = "Bi-d Alignment :";

QRect LabelRect(const ResultLabel& label) {
  return QRect(label.left, label.top, label.right - label.left, label.bottom - label.top);
}

}  // namespace

OperationPageView::OperationPageView(PageHost& host, StationData& data,
                                     const station::StationFiles& files, QWidget* parent)
    : PageView(parent), host_(host), runner_(host.ctx(), host.link(), data, files) {
  Build();
  // Nothing runs yet: the runner's first page (every field empty, no station) is shown as it is.
  Show(runner_.page());
  runner_.SetObserver([this] {
    // Called wherever the runner runs: on the device worker inside an operation, where the page
    // is copied and the copy carried to the GUI thread; on the GUI thread itself (a host that
    // runs operations there) it is shown at once.
    auto copy = std::make_shared<const OperationPage>(runner_.page());
    PostToThreadOf(this, [this, copy] { Show(*copy); });
  });
  // The station is restored from "3.data" on the worker, once the window around the page is
  // built and its event loop runs.
  QTimer::singleShot(0, this, &OperationPageView::StartInitialise);
}

OperationPageView::~OperationPageView() = default;

void OperationPageView::Build() {
  selector_ = new QComboBox(this);
  selector_->setObjectName("1271");
  for (std::string_view name : station::kStationNames) selector_->addItem(Q(name));
  Place(selector_, kSelectorAt);
  connect(selector_, &QComboBox::activated, this, &OperationPageView::StationChosen);

  // Losing the focus leaves the list as it is: its selection stays.
  steps_ = new QListWidget(this);
  steps_->setObjectName("1267");
  steps_->setSelectionMode(QAbstractItemView::SingleSelection);
  steps_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Place(steps_, kStepsAt);
  connect(steps_, &QListWidget::itemDoubleClicked, this, &OperationPageView::StepDoubleClicked);

  const OperationPage& page = runner_.page();
  auto label_of = [&page](int id) { return std::string(page.Field(id).label); };

  int row = 0;
  for (int id : kTextFields) {
    const int y = kTextRowsTop + row++ * kRowPitch;
    AddField(id, label_of(id).c_str(), this, QRect(kTextLabelX, y, kTextLabelWidth, kEditHeight),
             QRect(kTextEditX, y, kTextEditWidth, kEditHeight));
  }
  row = 0;
  for (int id : kNumberFields) {
    const int y = kNumberRowsTop + row++ * kRowPitch;
    AddField(id, label_of(id).c_str(), this,
             QRect(kNumberLabelX, y, kNumberLabelWidth, kEditHeight),
             QRect(kNumberEditX, y, kNumberEditWidth, kEditHeight));
  }
  bid_group_ = new QGroupBox(kBidGroupTitle, this);
  bid_group_->setObjectName("group:Bi-d Alignment");
  Place(bid_group_, kBidGroupAt);
  row = 0;
  for (int id : kBidFields) {
    const int y = kBidRowsTop + row++ * kBidPitch;
    AddField(id, label_of(id).c_str(), bid_group_,
             QRect(kBidLabelX, y, kBidLabelWidth, kEditHeight),
             QRect(kBidEditX, y, kBidEditWidth, kEditHeight));
  }

  total_text_ = new QLabel("Total Result", this);
  total_text_->setObjectName("Total Result");
  Place(total_text_, kTotalTextAt);

  // The panel's fixed labels; the slots come with the station.
  total_ = MakeLabel(page.total, "total");
  write_rom_fail_ = MakeLabel(page.write_rom_fail, "write-rom-fail");
  UpdateMinimumSize();
}

QLineEdit* OperationPageView::AddField(int id, const char* label, QWidget* parent,
                                       const QRect& label_at, const QRect& edit_at) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::number(id));
  edit->setReadOnly(true);
  // Filled by the page: the keyboard focus passes them by, so it stays with the list.
  edit->setFocusPolicy(Qt::ClickFocus);
  auto* text = new QLabel(label, parent);
  text->setObjectName(QString("label:%1").arg(id));
  text->setBuddy(edit);
  Place(text, label_at);
  Place(edit, edit_at);
  fields_[id] = edit;
  return edit;
}

// ---- Places and scale ----

QRect OperationPageView::Scaled(const QRect& design, double scale) {
  // Edges are scaled, not sizes, so neighbours that touch in the design still touch.
  const int left = static_cast<int>(std::lround(design.left() * scale));
  const int top = static_cast<int>(std::lround(design.top() * scale));
  const int right = static_cast<int>(std::lround((design.left() + design.width()) * scale));
  const int bottom = static_cast<int>(std::lround((design.top() + design.height()) * scale));
  return QRect(left, top, right - left, bottom - top);
}

void OperationPageView::Place(QWidget* widget, const QRect& design) {
  for (auto& [placed, rect] : placed_) {
    if (placed == widget) {
      rect = design;
      widget->setGeometry(Scaled(design, scale_));
      return;
    }
  }
  std::erase_if(placed_, [](const auto& entry) { return entry.first.isNull(); });
  placed_.emplace_back(widget, design);
  widget->setGeometry(Scaled(design, scale_));
}

QSize OperationPageView::sizeHint() const {
  // The height of one row as the list lays it out, at the list's font and style.
  QListWidget probe;
  probe.setFont(steps_->font());
  probe.addItem("X");
  const int row_height = std::max(probe.sizeHintForRow(0), 1);
  int rows = 0;
  int widest = 0;
  for (station::Station station : {station::Station::kHeadId, station::Station::kAdjustment}) {
    const std::span<const station::StepRow> list = station::StepList(station);
    rows = std::max(rows, static_cast<int>(list.size()));
    for (const station::StepRow& row : list) {
      widest = std::max(widest, steps_->fontMetrics().horizontalAdvance(Q(row.text)));
    }
  }
  // The frame, and a little room for the item's own margins and the focus frame.
  const int frame = 2 * steps_->frameWidth() + 4;
  const double font_scale =
      std::max(1.0, fontMetrics().height() / static_cast<double>(kDesignFontHeight));
  const double scale =
      std::max({font_scale, (rows * row_height + frame) / double(kStepsAt.height()),
                (widest + frame + 8) / double(kStepsAt.width())});
  // Rounded up, and a pixel to spare, so that the list's scaled edges are never a row short.
  return QSize(static_cast<int>(std::ceil(kDesignSize.width() * scale)) + 1,
               static_cast<int>(std::ceil(kDesignSize.height() * scale)) + 1);
}

void OperationPageView::UpdateMinimumSize() {
  const double font_scale =
      std::max(1.0, fontMetrics().height() / static_cast<double>(kDesignFontHeight));
  const QSize minimum(static_cast<int>(std::ceil(kDesignSize.width() * font_scale)),
                      static_cast<int>(std::ceil(kDesignSize.height() * font_scale)));
  if (minimumSize() != minimum) setMinimumSize(minimum);
  Relayout();
}

void OperationPageView::Relayout() {
  const double font_scale =
      std::max(1.0, fontMetrics().height() / static_cast<double>(kDesignFontHeight));
  const double window_scale = std::min(width() / static_cast<double>(kDesignSize.width()),
                                       height() / static_cast<double>(kDesignSize.height()));
  scale_ = std::max(font_scale, window_scale);
  for (const auto& [widget, design] : placed_) {
    if (widget) widget->setGeometry(Scaled(design, scale_));
  }
  for (CResultButton* label : slots_) label->setTextScale(scale_);
  if (total_) total_->setTextScale(scale_);
  if (write_rom_fail_) write_rom_fail_->setTextScale(scale_);
}

void OperationPageView::resizeEvent(QResizeEvent* event) {
  PageView::resizeEvent(event);
  Relayout();
}

void OperationPageView::changeEvent(QEvent* event) {
  PageView::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMinimumSize();
}

// ---- What the person does ----

void OperationPageView::StartInitialise() {
  if (initialised_) return;
  initialised_ = host_.RunOperation([this](const Context&, PrinterLink&) { runner_.Initialise(); });
  // Refused while another operation runs: tried again when it has ended.
}

void OperationPageView::StationChosen(int index) {
  const bool started = host_.RunOperation(
      [this, index](const Context&, PrinterLink&) { runner_.SelectStation(index); });
  if (!started) {
    const QSignalBlocker quiet(selector_);
    selector_->setCurrentIndex(shown_selection_);
  }
}

void OperationPageView::StepDoubleClicked(QListWidgetItem* item) {
  const int position = steps_->row(item);
  if (position < 0) return;
  host_.RunOperation([this, position](const Context&, PrinterLink&) { runner_.Run(position); });
}

void OperationPageView::SetDeviceBusy(bool busy) {
  selector_->setEnabled(!busy);
  steps_->setEnabled(!busy);
}

void OperationPageView::OperationEnded() {
  Show(runner_.page());
  if (!initialised_) QTimer::singleShot(0, this, &OperationPageView::StartInitialise);
}

// ---- Showing the page ----

void OperationPageView::Show(const OperationPage& page) {
  {
    const QSignalBlocker quiet(selector_);
    selector_->setCurrentIndex(page.selection);
  }
  shown_selection_ = page.selection;
  ShowSteps(page);
  for (const station::PageField& field : page.fields) {
    auto it = fields_.find(field.id);
    if (it == fields_.end()) continue;
    const QString text = QString::fromStdString(field.text);
    if (it->second->text() != text) it->second->setText(text);
  }
  ShowPanel(page);
}

void OperationPageView::ShowSteps(const OperationPage& page) {
  bool same = steps_->count() == static_cast<int>(page.steps.size());
  for (int i = 0; same && i < steps_->count(); ++i)
    same = steps_->item(i)->text() == Q(page.steps[static_cast<size_t>(i)]);
  if (same) return;
  steps_->clear();
  for (std::string_view step : page.steps) steps_->addItem(Q(step));
}

CResultButton* OperationPageView::MakeLabel(const ResultLabel& label, const QString& name) {
  auto* button = new CResultButton(Q(label.text), this);
  button->setObjectName(name);
  button->setState(label.state);
  button->setTextScale(scale_);
  Place(button, LabelRect(label));
  button->show();
  return button;
}

void OperationPageView::ShowLabel(CResultButton* button, const ResultLabel& label) {
  const QString text = Q(label.text);
  if (button->text() != text) button->setText(text);
  button->setState(label.state);
  Place(button, LabelRect(label));
}

void OperationPageView::ShowPanel(const OperationPage& page) {
  // A station's slots are made when its labels come; the same station keeps its buttons.
  bool same = slots_.size() == page.slot_labels.size();
  for (size_t i = 0; same && i < slots_.size(); ++i)
    same = slots_[i]->text() == Q(page.slot_labels[i].text);
  if (!same) {
    for (CResultButton* old : slots_) delete old;
    slots_.clear();
    for (const ResultLabel& label : page.slot_labels)
      slots_.push_back(MakeLabel(label, "slot:" + Q(label.text)));
  }
  for (size_t i = 0; i < slots_.size(); ++i) ShowLabel(slots_[i], page.slot_labels[i]);
  ShowLabel(total_, page.total);
  ShowLabel(write_rom_fail_, page.write_rom_fail);
}

}  // namespace tarvo::pages
