#pragma once

// What the end-to-end tests and the screenshots need to take a printer through the stations in
// the program's own windows: a station folder of their own, and a person who answers the modal
// windows one after the other through their widgets (typing into the edit boxes, clicking radio
// buttons and push buttons). Header only; it needs Qt6::Test and the helpers of src/testing.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "app/dialog_view.h"
#include "station/station_files.h"
#include "testing/fresh_printer_run.h"
#include "testing/station_folder.h"
#include "testing/station_setup.h"

namespace tarvo::testing {

// The station folder of a run: the stand-in chart files, both stations set up (SetUpStations:
// the first customer throughout).
struct StationRunFolder : StationFolder {
  StationRunFolder() { SetUpStations(station::StationFiles(path())); }
};

// Answers modal windows in the order they come. Each expected window is named as the transcript
// names it ("dialog 179 Input Head ID", "message Head ID: Write EEPROM Success !!") and answered
// in the words of the operator scripts, carried out with the widgets:
//   message boxes: "ok", "yes", "no";
//   dialogs: "ok [TEXT]", "enter TEXT", "choose N" (the radio button whose text is N, else the
//   N-th), "pass" / "fail" (the button of that name, or every row of an inspection), "inspect
//   V1 V2 ..." (one row each), "cancel", or any button's name with an optional TEXT for the
//   first edit box ("reprint 2", "no").
// A window that was not expected, or comes out of turn, is noted and closed, so a run always ends.
class AnsweringPerson : public QObject {
 public:
  explicit AnsweringPerson(QObject* parent = nullptr) : QObject(parent) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
    timer_.start();
  }

  // `check` runs just before the answer, while the window is up (e.g. to look at the page).
  void Expect(const QString& window, const QString& answer, std::function<void()> check = {}) {
    expected_.push_back({window, answer, std::move(check)});
  }
  bool done() const { return expected_.empty(); }
  const QStringList& problems() const { return problems_; }
  const QStringList& seen() const { return seen_; }

  static QString Describe(QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window))
      return "message " + box->windowTitle() + ": " + box->text();
    if (auto* view = qobject_cast<app::DialogView*>(window))
      return "dialog " + view->objectName().section(':', 1) + " " + view->windowTitle();
    return "window " + window->windowTitle();
  }

 private:
  struct Answer {
    QString window;
    QString answer;
    std::function<void()> check;
  };

  void Look() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || !window->isVisible() || window == answered_) return;
    answered_ = window;
    const QString name = Describe(window);
    seen_ << name;
    if (expected_.empty() || expected_.front().window != name) {
      problems_ << QString("unexpected %1 (expected %2)")
                       .arg(name, expected_.empty() ? "nothing" : expected_.front().window);
      if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
      return;
    }
    const Answer next = expected_.front();
    expected_.pop_front();
    if (next.check) next.check();
    if (!Apply(window, next.answer))
      problems_ << QString("cannot answer %1 with \"%2\"").arg(name, next.answer);
  }

  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Delete);
    } else {
      QTest::keyClicks(edit, text);
    }
  }
  static bool Click(QAbstractButton* button) {
    if (!button || !button->isEnabled()) return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
  }
  static QLineEdit* FirstEdit(QWidget* window) {
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
      if (edit->isEnabled() && !edit->isReadOnly()) return edit;
    }
    return nullptr;
  }
  static QPushButton* ButtonNamed(QWidget* window, const QString& name) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->text().compare(name, Qt::CaseInsensitive) == 0) return button;
    }
    return nullptr;
  }
  static QRadioButton* RadioNamed(QWidget* parent, const QString& name) {
    for (QRadioButton* radio : parent->findChildren<QRadioButton*>()) {
      if (radio->text().compare(name, Qt::CaseInsensitive) == 0) return radio;
    }
    return nullptr;
  }
  static bool Ok(QWidget* window) { return Click(window->findChild<QPushButton*>("1")); }

  static bool Apply(QWidget* window, const QString& answer) {
    const QString word = answer.section(' ', 0, 0).toLower();
    const QString rest = answer.section(' ', 1);
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      const QMessageBox::StandardButton which = word == "yes"  ? QMessageBox::Yes
                                                : word == "no" ? QMessageBox::No
                                                               : QMessageBox::Ok;
      return Click(box->button(which));
    }
    if (word == "enter" || (word == "ok" && !rest.isEmpty())) {
      QLineEdit* edit = FirstEdit(window);
      if (!edit) return false;
      Type(edit, rest);
      return Ok(window);
    }
    if (word == "ok") return Ok(window);
    if (word == "cancel") return Click(window->findChild<QPushButton*>("2"));
    if (word == "choose") {
      QRadioButton* radio = RadioNamed(window, rest);
      const auto radios = window->findChildren<QRadioButton*>();
      const int index = rest.toInt();
      if (!radio && index >= 0 && index < radios.size()) radio = radios[index];
      return Click(radio) && Ok(window);
    }
    const auto rows = window->findChildren<QGroupBox*>();
    if (word == "inspect" || ((word == "pass" || word == "fail") && !ButtonNamed(window, word))) {
      const QStringList verdicts =
          word == "inspect" ? rest.split(' ', Qt::SkipEmptyParts) : QStringList(rows.size(), word);
      if (verdicts.size() != rows.size()) return false;
      for (int i = 0; i < rows.size(); ++i) {
        if (!Click(RadioNamed(rows[i], verdicts[i]))) return false;
      }
      return Ok(window);
    }
    QPushButton* button = ButtonNamed(window, word);
    if (!button) return false;
    if (!rest.isEmpty()) {
      QLineEdit* edit = FirstEdit(window);
      if (!edit) return false;
      Type(edit, rest);
    }
    return Click(button);
  }

  QTimer timer_;
  std::deque<Answer> expected_;
  QPointer<QWidget> answered_;
  QStringList problems_;
  QStringList seen_;
};

// A double-click on row `row` of a step list, as a person makes it: press and release, then the
// second press on the same item.
inline bool DoubleClickRow(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  if (!item || !list->isEnabled()) return false;
  list->scrollToItem(item);
  const QPoint at = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  return true;
}

// Chooses entry `index` of a drop-down list with the arrow keys, as a person does.
inline void ChooseWithKeys(QComboBox* list, int index) {
  list->setFocus();
  for (int i = 0; i < list->count() && list->currentIndex() != index; ++i)
    QTest::keyClick(list, list->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
}

}  // namespace tarvo::testing
