#include "pages/dot_weight_page_view.h"

#include <QGridLayout>
#include <QPushButton>
#include <functional>

namespace tarvo::pages {

DotWeightPageView::DotWeightPageView(PageHost& host, QWidget* parent)
    : PageView(parent),
      host_(host),
      page_(std::make_unique<station::DotWeightPage>(host.ctx(), host.link())) {
  using Action = std::function<void(station::DotWeightPage&)>;
  const struct {
    int id;
    const char* text;
    Action action;
  } kButtons[] = {
      {1282, "Cleanning", [](station::DotWeightPage& p) { p.Clean(); }},
      {1283, "Print Nozzle Check", [](station::DotWeightPage& p) { p.PrintNozzleCheck(); }},
      {1280, "Mono Dot Weight",
       [](station::DotWeightPage& p) { p.Measure(station::MeasureKind::kMono); }},
      {1281, "CMY Dot Weight",
       [](station::DotWeightPage& p) { p.Measure(station::MeasureKind::kColour); }},
  };
  // Two rows of two: the printer's own actions above, the measurements below.
  auto* grid = new QGridLayout(this);
  grid->setRowStretch(0, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(3, 1);
  grid->setHorizontalSpacing(24);
  grid->setVerticalSpacing(24);
  int index = 0;
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(b.text, this);
    button->setObjectName(QString::number(b.id));
    button->setMinimumSize(170, 40);
    station::DotWeightPage* page = page_.get();
    connect(button, &QPushButton::clicked, this, [this, page, action = b.action] {
      host_.RunOperation([page, action](const Context&, PrinterLink&) { action(*page); });
    });
    grid->addWidget(button, 1 + index / 2, 1 + index % 2);
    buttons_.push_back(button);
    ++index;
  }
  grid->setRowStretch(3, 1);
}

DotWeightPageView::~DotWeightPageView() = default;

QPushButton* DotWeightPageView::button(int id) const {
  for (QPushButton* b : buttons_) {
    if (b->objectName() == QString::number(id)) return b;
  }
  return nullptr;
}

void DotWeightPageView::SetDeviceBusy(bool busy) {
  for (QPushButton* b : buttons_) b->setEnabled(!busy);
}

}  // namespace tarvo::pages
