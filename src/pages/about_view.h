#pragma once

#include <QDialog>
#include <QIcon>

#include "station/about_box.h"

namespace tarvo::pages {

// The About box (100 "About Tarvo"): the program's icon, "FT Version 0.0.7.5", the notice, the
// six lines of `box` top to bottom (1206 printer name, 1207 firmware version, 1208 firmware
// issue date, 1219 user, 1221 system, 1220 computer) and "OK" (1), which closes it, as Esc does.
class AboutView : public QDialog {
  Q_OBJECT

 public:
  // The control ids of the six lines, in the order of AboutBox::Lines().
  static constexpr int kLineIds[6] = {1206, 1207, 1208, 1219, 1221, 1220};

  AboutView(const station::AboutBox& box, const QIcon& icon, QWidget* parent = nullptr);
};

}  // namespace tarvo::pages
