#pragma once

#include <QFont>
#include <QPushButton>

namespace tarvo::pages {

// The result field of the pages: a push button that shows a state 0 to 7 in its colours.
//   0-3: black, red, green, blue text, 14 px high, on the button face;
//   4-7: the same colours, 32 px high, on white with a black frame.
// The pages show "PASS" in 6, "FAIL" in 5 and "Testing" in 7. The text is set in
// "Times New Roman" where it is installed, else in the metric-compatible Liberation Serif.
// A click does nothing: it reaches no one.
class CResultButton : public QPushButton {
  Q_OBJECT

 public:
  explicit CResultButton(const QString& text = {}, QWidget* parent = nullptr);

  int state() const { return state_; }
  // States outside 0-7 are taken as 0.
  void setState(int state);
  // The text is drawn `scale` times its state's height (a page shown larger than its design
  // size scales its labels with it); 1 by default, never below.
  void setTextScale(double scale);
  double textScale() const { return scale_; }

  // What a state looks like.
  static QColor TextColour(int state);
  static bool Large(int state) { return state >= 4 && state <= 7; }
  static int FontHeight(int state) { return Large(state) ? 32 : 14; }
  // The family the text is set in on this machine.
  static QString FontFamily();
  // The font of a state's text at `scale`: its line height (QFontMetrics::height) is at most the
  // state's height times the scale.
  static QFont TextFont(int state, double scale = 1.0);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int state_ = 0;
  double scale_ = 1.0;
};

}  // namespace tarvo::pages
