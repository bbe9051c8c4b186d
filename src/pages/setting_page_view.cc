#include "pages/setting_page_view.h"

#include <QGridLayout>
#include <QPushButton>
#include <functional>

#include "station/settings_page.h"

namespace tarvo::pages {

SettingPageView::SettingPageView(PageHost& host, const station::StationFiles& files,
                                 QWidget* parent)
    : PageView(parent), host_(host), files_(files) {
  using Edit = std::function<void(const Context&)>;
  const station::StationFiles* f = &files_;
  const struct {
    int id;
    const char* text;
    Edit edit;
  } kButtons[] = {
      {1273, "Station 1", [f](const Context& ctx) { station::EditStation1Settings(ctx, *f); }},
      {1274, "Station 2", [f](const Context& ctx) { station::EditStation2Settings(ctx, *f); }},
      {1275, "Set Initial Bi-d Value",
       [](const Context& ctx) { station::EditOffsetSettings(ctx); }},
      {1305, "Set Ink Syetem Init Value",
       [](const Context& ctx) { station::EditInkSettings(ctx); }},
  };
  // The buttons one under the other in the middle of the page.
  auto* grid = new QGridLayout(this);
  grid->setRowStretch(0, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
  int row = 1;
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(b.text, this);
    button->setObjectName(QString::number(b.id));
    button->setMinimumWidth(220);
    connect(button, &QPushButton::clicked, this, [this, edit = b.edit] {
      host_.RunOperation([edit](const Context& ctx, PrinterLink&) { edit(ctx); });
    });
    grid->addWidget(button, row++, 1);
    buttons_.push_back(button);
  }
  grid->setRowStretch(row, 1);
}

QPushButton* SettingPageView::button(int id) const {
  for (QPushButton* b : buttons_) {
    if (b->objectName() == QString::number(id)) return b;
  }
  return nullptr;
}

void SettingPageView::SetDeviceBusy(bool busy) {
  for (QPushButton* b : buttons_) b->setEnabled(!busy);
}

}  // namespace tarvo::pages
