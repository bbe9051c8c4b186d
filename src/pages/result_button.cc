#include "pages/result_button.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

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
  QFont font(FontFamily());
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(qRound(FontHeight(state_) * scale_));
  painter.setFont(font);
  painter.setPen(TextColour(state_));
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text());
}

}  // namespace tarvo::pages
