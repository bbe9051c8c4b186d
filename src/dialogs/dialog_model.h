#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/operator.h"

namespace tarvo {

enum class ControlKind {
  kText,     // edit box holding text
  kInteger,  // edit box whose text must be an integer
  kDecimal,  // edit box whose text must be a number
  kRadio,    // a group of radio buttons: `options`, one `selected`
  kList,     // a drop-down list: `options`, one `selected`
  kLabel,    // static text
  kButton,   // a push button; pressing it goes to DialogModel::Press
};

// One control of a dialog as a view shows it. Edit boxes hold their text as typed; the model
// converts it when a button is pressed, as dialog data exchange does.
struct Control {
  int id = 0;  // resource control id (a radio group: the id of its first button)
  ControlKind kind = ControlKind::kLabel;
  std::string label;  // the label beside an edit box or list, the group box of radios,
                      // the text of a button or static
  std::string text;   // the contents of an edit box
  std::vector<std::string> options;  // radio buttons or list entries, in order
  std::vector<int> option_ids;       // the control id of each radio button
  int selected = -1;                 // index into options; -1 = none
  bool enabled = true;
  bool read_only = false;
  int column = 0;     // 0 or 1 for the two-column EEPROM Data dialog
  std::string unit;   // the unit shown right of an edit box ("g", "ng"); empty for none
  std::string group;  // the group box the control stands in ("Current Setting"); controls in a
                      // row with the same group share one box; empty for none
};

// An entry refused by a check on a button: the message box to show, and where the focus goes.
struct Refusal {
  std::string text;
  std::string caption = "Error";
  int focus_id = 0;        // the edit box that gets the focus
  bool select_all = true;  // whether its whole text is selected
};

// What pressing a button did: closed the dialog with a result, or refused the entry (the dialog
// stays open), or neither (a button that only changes the dialog).
struct PressOutcome {
  std::optional<DialogResult> closed;
  std::optional<Refusal> refusal;

  static PressOutcome Close(DialogResult r) { return {r, std::nullopt}; }
  static PressOutcome Refuse(Refusal r) { return {std::nullopt, std::move(r)}; }
};

// A modal dialog as a plain model: caption, controls, the members behind them and the checks made
// when a button is pressed. Views (Qt, terminal, script) show Controls(), let the operator change
// them, and call Press() with the id of the button pressed; Esc and the close box are
// Press(kCancelId).
class DialogModel {
 public:
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;

  virtual ~DialogModel() = default;

  // The dialog resource number (179 "Input Head ID", ...).
  virtual int id() const = 0;
  virtual std::string caption() const = 0;

  // Members -> controls. Called by the view when the dialog is shown.
  virtual void Load() = 0;

  // The controls in the order a view lays them out and a script fills them.
  std::vector<Control>& controls() { return controls_; }
  const std::vector<Control>& controls() const { return controls_; }
  Control* control(int id);
  const Control* control(int id) const;

  // The operator changed the selection of a radio group or list (a model may react, e.g. refill a
  // list); the view shows controls() again afterwards.
  virtual void Changed(int control_id) { (void)control_id; }

  // A button was pressed (Esc and the close box press kCancelId). Controls -> members, checks, and
  // on success members -> controls again.
  virtual PressOutcome Press(int button_id) = 0;

  // The button Enter presses while no other push button has the focus.
  virtual int default_button() const { return kOkId; }

  // The edit box a view moves the focus to, with its text selected, after the last Changed();
  // 0 for none.
  virtual int focus_after_change() const { return 0; }

 protected:
  // Control builders for Load().
  static Control Edit(int id, ControlKind kind, std::string label, std::string text);
  static Control Radios(int first_id, std::string label, std::vector<std::string> options,
                        int selected);
  static Control List(int id, std::string label, std::vector<std::string> options, int selected);
  static Control Static(int id, std::string text);
  static Control Button(int id, std::string text);

  // The selection of radio group or list `id` (-1 when there is no such control).
  int Selected(int id) const;
  // The text of edit box `id` (empty when there is no such control).
  std::string TextOf(int id) const;

  std::vector<Control> controls_;
};

}  // namespace tarvo
