#include "win32app/operation_page_window.h"

#include <algorithm>

#include "win32app/result_button.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32app {
namespace {

using station::OperationPage;
using station::ResultLabel;
using win32ui::Wide;

constexpr UINT kShowPage = WM_APP + 10;
constexpr UINT kInitialise = WM_APP + 11;

// The design area: the selector and the step list on the left, the fields on the right, the
// result panel across the bottom (its labels carry their own places).
constexpr int kRowPitch = 24;
constexpr int kEditHeight = 22;
constexpr int kTextFields[] = {station::kProgramField,   station::kFwVersionField,
                               station::kCustomerField,  station::kBeltNameField,
                               station::kPcNameField,    station::kUsbSerialField,
                               station::kHeadIdField,    station::kJigNoField,
                               station::kMachineNoField, station::kMachineIdField};
constexpr int kNumberFields[] = {station::kInkChargeField, station::kCleanNozzleField,
                                 station::kTotalPrintField, station::kTofField,
                                 station::kLeftPosField};
constexpr int kBidFields[] = {station::kMs1Field, station::kMs2Field, station::kVsdField,
                              station::kEcnField};

RECT Rect(int x, int y, int cx, int cy) {
  return RECT{x, y, x + cx, y + cy};
}

// The width of the widest of `texts` in `list`'s font, in pixels.
int WidestText(HWND list, const std::vector<std::string_view>& texts) {
  HDC dc = GetDC(list);
  HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (std::string_view text : texts) {
    const std::wstring wide = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(dc, font);
  ReleaseDC(list, dc);
  return widest;
}

}  // namespace

OperationPageWindow::OperationPageWindow(PageHost& host, StationData& data,
                                         const station::StationFiles& files)
    : host_(host), runner_(host.ctx(), host.link(), data, files) {
  runner_.SetObserver([this] {
    // On the worker: the page is copied here and shown on the GUI thread.
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_ = runner_.page();
    }
    if (hwnd_) PostMessageW(hwnd_, kShowPage, 0, 0);
  });
}

void OperationPageWindow::Build() {
  HWND selector = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 10, 344,
                      200, kSelectorId);
  for (std::string_view name : station::kStationNames) {
    SendMessageW(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  // Losing the focus leaves the list as it is: its selection stays.
  // Tall enough for the 27 steps of Station 2; scroll bars only for what would not fit.
  Add(L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 12,
      36, 344, 358, kStepsId, WS_EX_CLIENTEDGE);

  const OperationPage& page = runner_.page();
  int row = 0;
  for (int id : kTextFields) {
    const int y = 10 + row++ * kRowPitch;
    fields_[id] = AddField(hwnd_, id, Wide(page.Field(id).label), Rect(364, y + 3, 92, kEditHeight),
                           Rect(458, y, 190, kEditHeight));
  }
  row = 0;
  for (int id : kNumberFields) {
    const int y = 258 + row++ * kRowPitch;
    fields_[id] = AddField(hwnd_, id, Wide(page.Field(id).label), Rect(364, y + 3, 86, kEditHeight),
                           Rect(452, y, 56, kEditHeight));
  }
  Add(L"BUTTON", L"Bi-d Alignment :", BS_GROUPBOX, 516, 252, 132, 128, -1);
  row = 0;
  for (int id : kBidFields) {
    const int y = 252 + 22 + row++ * 26;
    fields_[id] = AddField(hwnd_, id, Wide(page.Field(id).label), Rect(524, y + 3, 44, kEditHeight),
                           Rect(572, y, 66, kEditHeight));
  }
  Add(L"STATIC", L"Total Result", SS_LEFT, 20, 395, 125, 18, -1);
  MakeLabel(page.total, kTotalId);
  MakeLabel(page.write_rom_fail, kWriteRomFailId);
  // Nothing runs yet: the runner's first page (every field empty, no station) is shown as it is;
  // the station is restored on the worker once the window's loop runs.
  Show(page);
  PostMessageW(hwnd_, kInitialise, 0, 0);
}

HWND OperationPageWindow::MakeLabel(const ResultLabel& label, int id) {
  return CreateResultButton(hwnd_, id, Wide(label.text),
                            RECT{label.left, label.top, label.right, label.bottom}, label.state);
}

void OperationPageWindow::ShowLabel(HWND button, const ResultLabel& label) {
  SetText(button, Wide(label.text));
  SetResultState(button, label.state);
  RECT now;
  GetWindowRect(button, &now);
  MapWindowPoints(nullptr, GetParent(button), reinterpret_cast<POINT*>(&now), 2);
  if (now.left != label.left || now.top != label.top || now.right != label.right ||
      now.bottom != label.bottom) {
    MoveWindow(button, label.left, label.top, label.right - label.left, label.bottom - label.top,
               TRUE);
  }
}

HWND OperationPageWindow::slot(const std::wstring& text) const {
  for (HWND button : slots_) {
    if (TextOf(button) == text) return button;
  }
  return nullptr;
}

INT_PTR OperationPageWindow::Other(UINT message, WPARAM, LPARAM) {
  if (message == kInitialise) {
    StartInitialise();
    return TRUE;
  }
  if (message == kShowPage) {
    std::optional<OperationPage> page;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      page.swap(pending_);
    }
    if (page) Show(*page);
    return TRUE;
  }
  return FALSE;
}

void OperationPageWindow::StartInitialise() {
  if (initialised_) return;
  // Refused while another operation runs: tried again when it has ended.
  initialised_ =
      host_.RunOperation([this](const Context&, PrinterLink&) { runner_.Initialise(); }, false);
}

void OperationPageWindow::Command(int id, int code) {
  if (id == kSelectorId && code == CBN_SELCHANGE) {
    const int index = static_cast<int>(SendMessageW(item(kSelectorId), CB_GETCURSEL, 0, 0));
    const bool started = host_.RunOperation(
        [this, index](const Context&, PrinterLink&) { runner_.SelectStation(index); }, false);
    if (!started) SendMessageW(item(kSelectorId), CB_SETCURSEL, shown_selection_, 0);
  } else if (id == kStepsId && code == LBN_DBLCLK) {
    const int position = static_cast<int>(SendMessageW(item(kStepsId), LB_GETCURSEL, 0, 0));
    if (position < 0) return;
    host_.RunOperation([this, position](const Context&, PrinterLink&) { runner_.Run(position); });
  }
}

void OperationPageWindow::SetDeviceBusy(bool busy) {
  EnableWindow(item(kSelectorId), !busy);
  EnableWindow(item(kStepsId), !busy);
}

void OperationPageWindow::OperationEnded() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.reset();
  }
  Show(runner_.page());
  if (!initialised_) PostMessageW(hwnd_, kInitialise, 0, 0);
}

void OperationPageWindow::Show(const OperationPage& page) {
  HWND selector = item(kSelectorId);
  if (SendMessageW(selector, CB_GETCURSEL, 0, 0) != page.selection) {
    SendMessageW(selector, CB_SETCURSEL, static_cast<WPARAM>(page.selection), 0);
  }
  shown_selection_ = page.selection;

  HWND steps = item(kStepsId);
  bool same = SendMessageW(steps, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(page.steps.size());
  for (size_t i = 0; same && i < page.steps.size(); ++i) {
    const LRESULT length = SendMessageW(steps, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(steps, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    same = text == Wide(page.steps[i]);
  }
  if (!same) {
    SendMessageW(steps, LB_RESETCONTENT, 0, 0);
    for (std::string_view step : page.steps) {
      SendMessageW(steps, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(step).c_str()));
    }
    SendMessageW(steps, LB_SETHORIZONTALEXTENT, WidestText(steps, page.steps) + 8, 0);
  }
  for (const station::PageField& field : page.fields) {
    auto it = fields_.find(field.id);
    if (it != fields_.end()) SetText(it->second, Wide(field.text));
  }
  ShowPanel(page);
}

void OperationPageWindow::ShowPanel(const OperationPage& page) {
  // A station's slots are made when its labels come; the same station keeps its buttons.
  bool same = slots_.size() == page.slot_labels.size();
  for (size_t i = 0; same && i < slots_.size(); ++i)
    same = TextOf(slots_[i]) == Wide(page.slot_labels[i].text);
  if (!same) {
    for (HWND old : slots_) DestroyWindow(old);
    slots_.clear();
    int id = kFirstSlotId;
    for (const ResultLabel& label : page.slot_labels) slots_.push_back(MakeLabel(label, id++));
  }
  for (size_t i = 0; i < slots_.size(); ++i) ShowLabel(slots_[i], page.slot_labels[i]);
  ShowLabel(item(kTotalId), page.total);
  ShowLabel(item(kWriteRomFailId), page.write_rom_fail);
}

}  // namespace tarvo::win32app
