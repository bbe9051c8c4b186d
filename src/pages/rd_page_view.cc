#include "pages/rd_page_view.h"

#include <QEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace tarvo::pages {

RdPageView::RdPageView(PageHost& host, StationData& data, QWidget* parent)
    : PageView(parent),
      host_(host),
      page_(std::make_unique<station::RdPage>(host.ctx(), host.link(), data)) {
  page_->Initialise();
  list_ = new QListWidget(this);
  list_->setObjectName("1267");
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (const std::string& entry : page_->entries()) {
    list_->addItem(QString::fromStdString(entry));
  }
  list_->setCurrentRow(-1);
  list_->clearSelection();
  list_->installEventFilter(this);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Run(list_->row(item)); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
}

RdPageView::~RdPageView() = default;

void RdPageView::Run(int position) {
  station::RdPage* page = page_.get();
  host_.RunOperation([page, position](const Context&, PrinterLink&) {
    page->Select(position);
    page->DoubleClick();
  });
}

bool RdPageView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::FocusOut) FocusLost();
  return PageView::eventFilter(watched, event);
}

void RdPageView::FocusLost() {
  // While an operation runs the worker owns the model; the selection is cleared when it ends.
  if (!host_.busy()) page_->FocusLost();
  list_->clearSelection();
  list_->setCurrentRow(-1, QItemSelectionModel::Clear);
}

void RdPageView::OperationEnded() {
  // The operation's dialogs and messages took the focus from the list, or it never had it.
  if (!list_->hasFocus()) page_->FocusLost();
  const std::optional<int> selected = page_->selection();
  if (selected) {
    list_->setCurrentRow(*selected);
  } else {
    list_->clearSelection();
    list_->setCurrentRow(-1, QItemSelectionModel::Clear);
  }
}

void RdPageView::SetDeviceBusy(bool busy) {
  list_->setEnabled(!busy);
}

}  // namespace tarvo::pages
