#include "pages/result_button.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace tarvo::pages {

CResultButton::CResultButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAutoDefault(false);
  setFocusPolicy(Qt::NoFocus);
}

void CResultButton::setState(int state) {
  const int next = state >= 0 && state <= 7 ? state : 0;
  if (next == state_) return;
  state_ = next;
  update();
}

void CResultButton::setTextScale(double scale) {
  const double next = scale > 1.0 ? scale : 1.0;
  if (next == scale_) return;
  scale_ = next;
  update();
}

QColor CResultButton::TextColour(int state) {
  switch (state % 4) {
    case 1:
      return QColor(255, 0, 0);
    case 2:
      return QColor(0, 180, 0);
    case 3:
      return QColor(0, 0, 255);
    default:
      return QColor(0, 0, 0);
  }
}

QFont CResultButton::TextFont(int state, double scale) {
  QFont font(FontFamily());
  font.setStyleHint(QFont::Serif);
  // The height is the character cell's (ascent and descent), not the em that Qt's pixel size
  // sets: the em is brought down until the cell fits, so "Nozzle Check" fits its 70 px slot.
  const int cell = std::max(1, qRound(FontHeight(state) * std::max(1.0, scale)));
  font.setPixelSize(cell);
  const int height = QFontMetrics(font).height();
  if (height <= cell) return font;
  int size = std::max(1, cell * cell / height);
  font.setPixelSize(size);
  while (size > 1 && QFontMetrics(font).height() > cell) font.setPixelSize(--size);
  return font;
}

QString CResultButton::FontFamily() {
  static const QString family = [] {
    const QStringList families = QFontDatabase::families();
    for (const QString& wanted : {QString("Times New Roman"), QString("Liberation Serif")}) {
      if (families.contains(wanted, Qt::CaseInsensitive)) return wanted;
    }
    return QString("serif");
  }();
  return family;
}

void CResultButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton frame;
  initStyleOption(&frame);
  frame.text.clear();
  frame.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, frame);

  QRect area = rect();
  if (Large(state_)) {
    QRect inner = area.adjusted(2, 2, -2, -2);
    painter.fillRect(inner, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
  }
  painter.setFont(TextFont(state_, scale_));
  painter.setPen(TextColour(state_));
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text());
}

}  // namespace tarvo::pages
