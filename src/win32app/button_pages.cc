#include "win32app/button_pages.h"

#include "station/settings_page.h"

namespace tarvo::win32app {
namespace {

constexpr int kButtonWidth = 220;
constexpr int kButtonHeight = 40;
constexpr int kGap = 24;

}  // namespace

void ButtonPage::Build() {
  const int count = static_cast<int>(entries_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int left = (width_ - columns_ * kButtonWidth - (columns_ - 1) * kGap) / 2;
  const int top = (height_ - rows * kButtonHeight - (rows - 1) * kGap) / 2;
  for (int i = 0; i < count; ++i) {
    const Entry& e = entries_[static_cast<size_t>(i)];
    Add(L"BUTTON", e.text, BS_PUSHBUTTON | WS_TABSTOP,
        left + (i % columns_) * (kButtonWidth + kGap),
        top + (i / columns_) * (kButtonHeight + kGap), kButtonWidth, kButtonHeight, e.id);
  }
}

void ButtonPage::Command(int id, int code) {
  if (code != BN_CLICKED) return;
  for (const Entry& e : entries_) {
    if (e.id == id) host_.RunOperation(e.action, e.reaches_printer);
  }
}

void ButtonPage::SetDeviceBusy(bool busy) {
  for (const Entry& e : entries_) EnableWindow(item(e.id), !busy);
}

SettingPageWindow::SettingPageWindow(PageHost& host, const station::StationFiles& files)
    : ButtonPage(
          host,
          {
              {1273, L"Station 1",
               [f = &files](const Context& ctx, PrinterLink&) {
                 station::EditStation1Settings(ctx, *f);
               },
               false},
              {1274, L"Station 2",
               [f = &files](const Context& ctx, PrinterLink&) {
                 station::EditStation2Settings(ctx, *f);
               },
               false},
              {1275, L"Set Initial Bi-d Value",
               [](const Context& ctx, PrinterLink&) { station::EditOffsetSettings(ctx); }, false},
              {1305, L"Set Ink Syetem Init Value",
               [](const Context& ctx, PrinterLink&) { station::EditInkSettings(ctx); }, false},
          },
          1, 660, 470) {}

DotWeightPageWindow::DotWeightPageWindow(PageHost& host)
    : DotWeightPageWindow(host, std::make_unique<station::DotWeightPage>(host.ctx(), host.link())) {
}

DotWeightPageWindow::DotWeightPageWindow(PageHost& host,
                                         std::unique_ptr<station::DotWeightPage> page)
    : ButtonPage(
          host,
          {
              {1282, L"Cleanning", [p = page.get()](const Context&, PrinterLink&) { p->Clean(); },
               true},
              {1283, L"Print Nozzle Check",
               [p = page.get()](const Context&, PrinterLink&) { p->PrintNozzleCheck(); }, true},
              {1280, L"Mono Dot Weight",
               [p = page.get()](const Context&, PrinterLink&) {
                 p->Measure(station::MeasureKind::kMono);
               },
               true},
              {1281, L"CMY Dot Weight",
               [p = page.get()](const Context&, PrinterLink&) {
                 p->Measure(station::MeasureKind::kColour);
               },
               true},
          },
          2, 660, 470),
      page_(std::move(page)) {}

DotWeightPageWindow::~DotWeightPageWindow() = default;

}  // namespace tarvo::win32app
