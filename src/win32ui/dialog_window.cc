#include "win32ui/dialog_window.h"

#include "dialogs/layout_rules.h"
#include "win32ui/dialog_layout.h"
#include "win32ui/message_box.h"
#include "win32ui/wide_text.h"

namespace tarvo::win32ui {
namespace {

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

void SetText(HWND window, const std::string& utf8) {
  const std::wstring text = Wide(utf8);
  if (TextOf(window) != text) SetWindowTextW(window, text.c_str());
}

int OptionId(const Control& c, size_t k) {
  return k < c.option_ids.size() ? c.option_ids[k] : c.id + int(k);
}

}  // namespace

DialogResult DialogWindow::Run(DialogModel& model, HWND owner, Observer observer) {
  DialogWindow view(model, std::move(observer));
  model.Load();
  const std::vector<uint16_t> dialog = BuildTemplate(LayOut(model));
  const INT_PTR result =
      DialogBoxIndirectParamW(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), owner,
                              &DialogWindow::Proc, reinterpret_cast<LPARAM>(&view));
  if (view.error_) std::rethrow_exception(view.error_);
  if (result != IDOK && result != IDCANCEL) {
    throw OperatorAborted("cannot show dialog " + std::to_string(model.id()) + " \"" +
                          model.caption() + "\" (error " + std::to_string(GetLastError()) + ")");
  }
  return result == IDOK ? DialogResult::kOk : DialogResult::kCancel;
}

INT_PTR CALLBACK DialogWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* view = reinterpret_cast<DialogWindow*>(lparam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    view->hwnd_ = hwnd;
    view->FromModel();
    SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(view->model_.default_button()), 0);
    // Focus frames show from the start, not only after the first key: Enter presses the
    // focused button, so the operator must see which one it is.
    SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetForegroundWindow(hwnd);
    view->FocusFirst();
    return FALSE;  // the focus is set
  }
  auto* view = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!view) return FALSE;
  if (message == WM_COMMAND) {
    // The model's and the transcript's code run from here; an exception must not unwind through
    // the system's frames, so it ends the dialog and is thrown again once DialogBox returns.
    try {
      view->Command(LOWORD(wparam), HIWORD(wparam));
    } catch (...) {
      view->error_ = std::current_exception();
      EndDialog(hwnd, IDCANCEL);
    }
    return TRUE;
  }
  return FALSE;
}

void DialogWindow::Command(int id, int code) {
  // Esc and the close box send IDCANCEL; Enter sends the default button's id.
  if (id == IDCANCEL) return Press(DialogModel::kCancelId);
  const auto& controls = model_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    switch (c.kind) {
      case ControlKind::kButton:
        if (c.id == id && code == BN_CLICKED) return Press(id);
        break;
      case ControlKind::kList:
        if (c.id == id && code == CBN_SELCHANGE) return ChangedIn(i);
        break;
      case ControlKind::kRadio:
        for (size_t k = 0; k < c.options.size(); ++k) {
          if (OptionId(c, k) == id && code == BN_CLICKED) return ChangedIn(i);
        }
        break;
      default:
        break;
    }
  }
  if (id == IDOK) Press(DialogModel::kOkId);
}

void DialogWindow::FocusFirst() {
  const auto& controls = model_.controls();
  const size_t first = FirstFocus(controls);
  if (first >= controls.size()) return;
  const Control& c = controls[first];
  HWND target = Item(c, first);
  if (c.kind == ControlKind::kRadio) {
    const size_t k = c.selected >= 0 ? static_cast<size_t>(c.selected) : 0;
    target = GetDlgItem(hwnd_, OptionId(c, k));
  }
  FocusOn(target);
}

void DialogWindow::FocusOn(HWND control) {
  // As Tab does it: an edit box gets its whole text selected, a push button becomes the default.
  if (control) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

HWND DialogWindow::Item(const Control& control, size_t index) const {
  return GetDlgItem(hwnd_, ItemId(control, index));
}

void DialogWindow::ToModel() {
  auto& controls = model_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    Control& c = controls[i];
    if (IsEdit(c.kind)) {
      c.text = Utf8(TextOf(Item(c, i)));
    } else if (c.kind == ControlKind::kList) {
      c.selected = static_cast<int>(SendMessageW(Item(c, i), CB_GETCURSEL, 0, 0));
    } else if (c.kind == ControlKind::kRadio) {
      c.selected = -1;
      for (size_t k = 0; k < c.options.size(); ++k) {
        if (IsDlgButtonChecked(hwnd_, OptionId(c, k)) == BST_CHECKED) c.selected = int(k);
      }
    }
  }
}

void DialogWindow::FromModel() {
  const auto& controls = model_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    HWND item = Item(c, i);
    switch (c.kind) {
      case ControlKind::kText:
      case ControlKind::kInteger:
      case ControlKind::kDecimal:
        SetText(item, c.text);
        SendMessageW(item, EM_SETREADONLY, c.read_only, 0);
        EnableWindow(item, c.enabled);
        break;
      case ControlKind::kList: {
        bool same = SendMessageW(item, CB_GETCOUNT, 0, 0) == LRESULT(c.options.size());
        for (size_t k = 0; same && k < c.options.size(); ++k) {
          std::wstring entry(static_cast<size_t>(SendMessageW(item, CB_GETLBTEXTLEN, k, 0)) + 1,
                             L'\0');
          entry.resize(static_cast<size_t>(
              SendMessageW(item, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(entry.data()))));
          same = entry == Wide(c.options[k]);
        }
        if (!same) {
          SendMessageW(item, CB_RESETCONTENT, 0, 0);
          for (const auto& option : c.options) {
            SendMessageW(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(option).c_str()));
          }
        }
        SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
        EnableWindow(item, c.enabled);
        break;
      }
      case ControlKind::kRadio:
        for (size_t k = 0; k < c.options.size(); ++k) {
          CheckDlgButton(hwnd_, OptionId(c, k), int(k) == c.selected ? BST_CHECKED : BST_UNCHECKED);
          EnableWindow(GetDlgItem(hwnd_, OptionId(c, k)), c.enabled);
        }
        break;
      case ControlKind::kLabel:
      case ControlKind::kButton:
        SetText(item, c.label);
        EnableWindow(item, c.enabled);
        break;
    }
    // The label beside an edit box or list, the group box of radios.
    if (c.kind != ControlKind::kLabel) {
      if (HWND label = GetDlgItem(hwnd_, LabelId(i))) EnableWindow(label, c.enabled);
    }
  }
  shown_ = controls;
}

void DialogWindow::ChangedIn(size_t index) {
  // A click on the radio button already chosen, or the list's entry chosen again, changes
  // nothing: the model is not told, so it does not refill a list the operator has set.
  const int before_selected = model_.controls()[index].selected;
  ToModel();
  if (model_.controls()[index].selected == before_selected) return;
  model_.Changed(model_.controls()[index].id);
  // The model may refill a list or enable other controls; what the operator changed stays a
  // change for the transcript.
  std::vector<Control> before = shown_;
  FromModel();
  shown_ = std::move(before);
  if (const int focus = model_.focus_after_change()) FocusOn(GetDlgItem(hwnd_, focus));
}

void DialogWindow::Press(int button_id) {
  ToModel();
  if (observer_.pressed) observer_.pressed(button_id, shown_);
  PressOutcome outcome = model_.Press(button_id);
  FromModel();
  if (outcome.closed) {
    EndDialog(hwnd_, *outcome.closed == DialogResult::kOk ? IDOK : IDCANCEL);
    return;
  }
  if (!outcome.refusal) return;
  const Refusal& refusal = *outcome.refusal;
  if (observer_.refused) observer_.refused(refusal);
  ShowMessageBox(Message{refusal.text, refusal.caption, Icon::kError, Buttons::kOk});
  // The box had the focus; the dialog takes it back, and the named box gets it.
  SetForegroundWindow(hwnd_);
  const auto& controls = model_.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id != refusal.focus_id || !IsEdit(controls[i].kind)) continue;
    HWND edit = Item(controls[i], i);
    FocusOn(edit);
    const LPARAM end = GetWindowTextLengthW(edit);
    if (refusal.select_all) {
      SendMessageW(edit, EM_SETSEL, 0, end);
    } else {
      SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    }
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  }
}

}  // namespace tarvo::win32ui
