#include "pages/rom_viewer_page_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "station/station_settings.h"

namespace tarvo::pages {
namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Text fields hold the printer's single-byte characters.
QString Latin1(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

RomViewerPageView::RomViewerPageView(PageHost& host, StationData& data,
                                     const station::StationFiles& files, QWidget* parent)
    : PageView(parent), host_(host) {
  const Context* ctx = &host.ctx();
  const station::StationFiles* station_files = &files;
  page_ = std::make_unique<station::RomViewerPage>(
      host.ctx(), host.link(), data,
      [ctx, station_files](const HeadBlock& read_block, ChartLabel& chart_label) {
        return station::CheckCustomer(*ctx, *station_files, read_block, chart_label).ok();
      });
  page_->Initialise();

  // Left: the drop-down box over the list.
  auto* left = new QVBoxLayout;
  drop_down_ = new QComboBox(this);
  drop_down_->setObjectName("1271");
  for (std::string_view text : station::RomViewerPage::DropDownTexts())
    drop_down_->addItem(Q(text));
  drop_down_->setCurrentIndex(page_->drop_down_index());
  left->addWidget(drop_down_);
  list_ = new QListWidget(this);
  list_->setObjectName("1267");
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  left->addWidget(list_, 1);
  // Wide enough for the longest entry of every list, so that none is cut and the page does not
  // jump as the lists are switched.
  int widest = 0;
  for (int i = 0; i < static_cast<int>(station::RomViewerPage::DropDownTexts().size()); ++i) {
    for (const std::string& entry : station::RomViewerPage::ListTexts(i)) {
      widest = std::max(widest, list_->fontMetrics().horizontalAdvance(Latin1(entry)));
    }
  }
  list_->setMinimumWidth(widest + 2 * list_->frameWidth() + 4 * list_->spacing() + 12 +
                         list_->verticalScrollBar()->sizeHint().width());

  // Right: the display values, read-only, in their group boxes.
  auto* right = new QVBoxLayout;
  auto* identity = new QFormLayout;
  std::map<station::ViewerGroup, QFormLayout*> forms = {{station::ViewerGroup::kNone, identity}};
  right->addLayout(identity);
  auto* groups = new QHBoxLayout;
  right->addLayout(groups);
  right->addStretch(1);
  for (const station::ViewerField& f : station::FieldsOf(page_->display())) {
    QFormLayout*& form = forms[f.group];
    if (!form) {
      auto* box = new QGroupBox(Q(station::GroupCaption(f.group)), this);
      form = new QFormLayout(box);
      groups->addWidget(box, 0, Qt::AlignTop);
    }
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(f.id));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);  // shown, not typed into: Tab passes them by
    edit->setMinimumWidth(f.text ? 150 : 60);
    auto* label = new QLabel(Q(f.label), this);
    label->setBuddy(edit);
    form->addRow(label, edit);
    fields_[f.id] = edit;
  }

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right, 1);

  ShowList();
  ShowDisplay();
  connect(drop_down_, &QComboBox::currentIndexChanged, this, [this](int index) {
    page_->Choose(index);
    ShowList();
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    station::RomViewerPage* page = page_.get();
    const int entry = list_->row(item);
    host_.RunOperation([page, entry](const Context&, PrinterLink&) { page->DoubleClick(entry); });
  });
}

RomViewerPageView::~RomViewerPageView() = default;

QLineEdit* RomViewerPageView::field(int id) const {
  auto it = fields_.find(id);
  return it == fields_.end() ? nullptr : it->second;
}

void RomViewerPageView::ShowList() {
  list_->clear();
  for (const std::string& entry : page_->entries()) {
    auto* item = new QListWidgetItem(Latin1(entry), list_);
    // Should the window still be too narrow for it, the entry can be read whole.
    item->setToolTip(item->text());
  }
}

void RomViewerPageView::ShowDisplay() {
  for (const station::ViewerField& f : station::FieldsOf(page_->display())) {
    QLineEdit* edit = field(f.id);
    if (!edit) continue;
    edit->setText(f.text ? Latin1(*f.text) : QString::number(f.number));
    edit->setCursorPosition(0);
  }
}

void RomViewerPageView::OperationEnded() {
  ShowDisplay();
}

void RomViewerPageView::SetDeviceBusy(bool busy) {
  drop_down_->setEnabled(!busy);
  list_->setEnabled(!busy);
}

}  // namespace tarvo::pages
