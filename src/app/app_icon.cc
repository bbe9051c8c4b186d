#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tarvo::app {
namespace {

QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // The sheet coming out of the printer, with three colour bars of a chart.
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(18, 4, 28, 30));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 170, 200));
  p.drawRect(QRectF(22, 10, 20, 4));
  p.setBrush(QColor(210, 0, 130));
  p.drawRect(QRectF(22, 17, 20, 4));
  p.setBrush(QColor(240, 200, 0));
  p.drawRect(QRectF(22, 24, 20, 4));
  // The printer body and its tray.
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(90, 100, 120));
  p.drawRoundedRect(QRectF(6, 30, 52, 22), 4, 4);
  p.setBrush(QColor(200, 205, 215));
  p.drawRect(QRectF(14, 46, 36, 12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 200, 0));
  p.drawEllipse(QRectF(48, 35, 5, 5));
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(Draw(size));
  return icon;
}

}  // namespace tarvo::app
