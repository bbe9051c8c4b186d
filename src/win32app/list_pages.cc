#include "win32app/list_pages.h"

#include "station/station_settings.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32app {
namespace {

// The printer's texts are single-byte characters.
std::wstring Latin1(const std::string& s) {
  std::wstring wide;
  for (char c : s) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

// The widths of a group's labels: the adjustment values have the long ones.
int LabelWidth(station::ViewerGroup group) {
  return group == station::ViewerGroup::kFlag ? 64 : 112;
}

void Fill(HWND list, const std::vector<std::string>& entries) {
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Latin1(entry).c_str()));
  }
}

}  // namespace

// ---- RD Setting ----

RdPageWindow::RdPageWindow(PageHost& host, StationData& data)
    : host_(host), page_(std::make_unique<station::RdPage>(host.ctx(), host.link(), data)) {
  page_->Initialise();
}

RdPageWindow::~RdPageWindow() = default;

void RdPageWindow::Build() {
  Add(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 12, 10, 636,
      450, kListId, WS_EX_CLIENTEDGE);
  Fill(item(kListId), page_->entries());
}

void RdPageWindow::Command(int id, int code) {
  if (id != kListId) return;
  if (code == LBN_KILLFOCUS) return FocusLost();
  if (code != LBN_DBLCLK) return;
  const int position = static_cast<int>(SendMessageW(item(kListId), LB_GETCURSEL, 0, 0));
  station::RdPage* page = page_.get();
  host_.RunOperation([page, position](const Context&, PrinterLink&) {
    page->Select(position);
    page->DoubleClick();
  });
}

void RdPageWindow::FocusLost() {
  // While an operation runs the worker owns the model; the selection goes when it ends.
  if (!host_.busy()) page_->FocusLost();
  SendMessageW(item(kListId), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void RdPageWindow::OperationEnded() {
  // The operation's windows took the focus from the list, or it never had it.
  if (GetFocus() != item(kListId)) page_->FocusLost();
  const std::optional<int> selected = page_->selection();
  SendMessageW(item(kListId), LB_SETCURSEL, static_cast<WPARAM>(selected ? *selected : -1), 0);
}

void RdPageWindow::SetDeviceBusy(bool busy) {
  EnableWindow(item(kListId), !busy);
}

// ---- ShowROMData ----

RomViewerPageWindow::RomViewerPageWindow(PageHost& host, StationData& data,
                                         const station::StationFiles& files)
    : host_(host) {
  const Context* ctx = &host.ctx();
  const station::StationFiles* station_files = &files;
  page_ = std::make_unique<station::RomViewerPage>(
      host.ctx(), host.link(), data,
      [ctx, station_files](const HeadBlock& read_block, ChartLabel& chart_label) {
        return station::CheckCustomer(*ctx, *station_files, read_block, chart_label).ok();
      });
  page_->Initialise();
}

RomViewerPageWindow::~RomViewerPageWindow() = default;

void RomViewerPageWindow::Build() {
  HWND drop_down = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 10, 300,
                       200, kDropDownId);
  for (std::string_view text : station::RomViewerPage::DropDownTexts()) {
    SendMessageW(drop_down, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32ui::Wide(text).c_str()));
  }
  SendMessageW(drop_down, CB_SETCURSEL, static_cast<WPARAM>(page_->drop_down_index()), 0);
  Add(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, 12, 40, 300,
      420, kListId, WS_EX_CLIENTEDGE);

  // Right: the identity one under the other, then the groups side by side.
  constexpr int kLeft = 328, kLabelWidth = 110, kRow = 26, kEdit = 22;
  int identity_row = 0;
  std::map<station::ViewerGroup, int> group_rows;
  std::map<station::ViewerGroup, int> group_left = {{station::ViewerGroup::kAdjustmentValue, kLeft},
                                                    {station::ViewerGroup::kFlag, kLeft + 196}};
  const auto fields = station::FieldsOf(page_->display());
  int identity_rows = 0;
  for (const station::ViewerField& f : fields)
    identity_rows += f.group == station::ViewerGroup::kNone;
  const int groups_top = 10 + identity_rows * kRow + 8;
  // The group boxes first, so the fields lie over them.
  std::map<station::ViewerGroup, int> group_sizes;
  for (const station::ViewerField& f : fields) {
    if (f.group != station::ViewerGroup::kNone) ++group_sizes[f.group];
  }
  for (const auto& [group, rows] : group_sizes) {
    Add(L"BUTTON", win32ui::Wide(station::GroupCaption(group)), BS_GROUPBOX, group_left[group],
        groups_top, LabelWidth(group) + 70, 28 + rows * kRow, -1);
  }
  for (const station::ViewerField& f : fields) {
    if (f.group == station::ViewerGroup::kNone) {
      const int y = 10 + identity_row++ * kRow;
      fields_[f.id] = AddField(hwnd_, f.id, win32ui::Wide(f.label),
                               RECT{kLeft, y + 3, kLeft + kLabelWidth, y + kEdit},
                               RECT{kLeft + kLabelWidth, y, kLeft + kLabelWidth + 190, y + kEdit});
      continue;
    }
    const int x = group_left[f.group];
    const int y = groups_top + 20 + group_rows[f.group]++ * kRow;
    fields_[f.id] =
        AddField(hwnd_, f.id, win32ui::Wide(f.label),
                 RECT{x + 8, y + 3, x + 8 + LabelWidth(f.group), y + kEdit},
                 RECT{x + 10 + LabelWidth(f.group), y, x + 60 + LabelWidth(f.group), y + kEdit});
  }
  ShowList();
  ShowDisplay();
}

void RomViewerPageWindow::Command(int id, int code) {
  if (id == kDropDownId && code == CBN_SELCHANGE) {
    page_->Choose(static_cast<int>(SendMessageW(item(kDropDownId), CB_GETCURSEL, 0, 0)));
    ShowList();
  } else if (id == kListId && code == LBN_DBLCLK) {
    const int entry = static_cast<int>(SendMessageW(item(kListId), LB_GETCURSEL, 0, 0));
    station::RomViewerPage* page = page_.get();
    host_.RunOperation([page, entry](const Context&, PrinterLink&) {
      page->DoubleClick(entry < 0 ? std::nullopt : std::optional<int>(entry));
    });
  }
}

void RomViewerPageWindow::ShowList() {
  Fill(item(kListId), page_->entries());
}

void RomViewerPageWindow::ShowDisplay() {
  for (const station::ViewerField& f : station::FieldsOf(page_->display())) {
    auto it = fields_.find(f.id);
    if (it == fields_.end()) continue;
    SetText(it->second, f.text ? Latin1(*f.text) : std::to_wstring(f.number));
  }
}

void RomViewerPageWindow::SetDeviceBusy(bool busy) {
  EnableWindow(item(kDropDownId), !busy);
  EnableWindow(item(kListId), !busy);
}

}  // namespace tarvo::win32app
