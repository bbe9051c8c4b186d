#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "dialogs/dialog_model.h"

namespace tarvo::win32ui {

// Shows any dialog model as a modal Win32 dialog built at run time from an in-memory template
// (dialog_layout.h), until the model closes it.
//
// The view only shows and forwards: a changed radio group or list goes to DialogModel::Changed
// and the controls are shown again; a button goes to DialogModel::Press (Esc and the close box
// press Cancel). A refused entry shows its message
// box, then puts the focus on the named edit box (its text selected where the model says so),
// and the dialog stays open.
//
// The keyboard is the dialog manager's: the focus starts in the first control that takes an entry
// (an edit box with its text selected); Tab into an edit box selects its text; the push button
// with the focus is the default and Enter presses it, the model's default button otherwise; focus
// frames show from the start.
class DialogWindow {
 public:
  // What the view tells its owner, for the transcript.
  struct Observer {
    // A button is about to be pressed; `shown` is what the operator saw before changing it.
    std::function<void(int button_id, const std::vector<Control>& shown)> pressed;
    std::function<void(const Refusal&)> refused;
  };

  // Loads the model and shows it, owned by `owner` (may be null), until a button closes it.
  // Throws OperatorAborted when the window cannot be made, and what the model or the observer
  // threw.
  static DialogResult Run(DialogModel& model, HWND owner, Observer observer = {});

 private:
  DialogWindow(DialogModel& model, Observer observer)
      : model_(model), observer_(std::move(observer)) {}
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void Command(int id, int code);
  void Press(int button_id);
  void ChangedIn(size_t index);
  void FocusFirst();
  void FocusOn(HWND control);
  void ToModel();
  void FromModel();
  HWND Item(const Control& control, size_t index) const;

  DialogModel& model_;
  Observer observer_;
  HWND hwnd_ = nullptr;
  std::vector<Control> shown_;  // the controls as the operator last saw them
  std::exception_ptr error_;    // thrown inside the dialog's window procedure
};

}  // namespace tarvo::win32ui
