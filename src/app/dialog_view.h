#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "dialogs/dialog_model.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo::app {

// Shows any dialog model as a Qt dialog: its caption, and one widget per control, laid out in a
// form (label beside its box; radio groups in their group boxes), in the model's columns; the
// buttons in a row at the bottom right. Every widget
// that stands for a control carries the control id as its object name ("1185"; each radio button
// its own id; the group box "group:1136"), so tests find it.
//
// The view only shows and forwards: a changed radio group or list goes to DialogModel::Changed,
// a button to DialogModel::Press (Esc and the close box press Cancel). A refused entry shows its
// message box, then puts the focus on the named edit box (its text selected where the model says
// so), and the dialog stays open.
//
// The keyboard works as in the station PCs' dialogs: the focus starts in the first control that
// takes an entry (an edit box with its text selected, so typing replaces it); Tab into an edit box
// selects its text; the push button with the focus is the default and Enter presses it, the
// model's default button otherwise (also with the focus in an edit box); a focused button shows
// its focus frame; Esc and the close box press Cancel. Units stand right of their boxes, and
// controls of one group in a group box.
class DialogView : public QDialog {
  Q_OBJECT

 public:
  // What the view tells its owner, for the transcript.
  struct Observer {
    // A button is about to be pressed; `shown` is what the operator saw before changing it.
    std::function<void(int button_id, const std::vector<Control>& shown)> pressed;
    std::function<void(const Refusal&)> refused;
  };

  explicit DialogView(DialogModel& model, QWidget* parent = nullptr, Observer observer = {});

  // Shows the dialog modally until the model closes it.
  DialogResult Run();
  // The result the model closed with (Cancel until it has closed).
  DialogResult result_code() const { return result_; }

  // Presses a button as the operator does.
  void Press(int button_id);

  // The widget of control `id`, or nullptr.
  QWidget* widget(int id) const;

  void reject() override;

 private:
  struct Slot {
    QLabel* label = nullptr;
    QLabel* unit = nullptr;
    QLineEdit* edit = nullptr;
    QComboBox* list = nullptr;
    QGroupBox* group = nullptr;
    QButtonGroup* radios = nullptr;
    QLabel* text = nullptr;
    QPushButton* button = nullptr;
  };

  void Build();
  void FocusFirst();
  void FocusEdit(QLineEdit* edit, bool select_all);
  void ToModel();
  void FromModel();
  void Changed(int id);

  DialogModel& model_;
  Observer observer_;
  std::vector<Slot> slots_;     // one per control, in the model's order
  std::vector<Control> shown_;  // the controls as the operator last saw them
  DialogResult result_ = DialogResult::kCancel;
  bool syncing_ = false;
};

}  // namespace tarvo::app
