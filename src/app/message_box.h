#pragma once

#include <QMessageBox>
#include <memory>

#include "base/operator.h"

class QWidget;

namespace tarvo::app {

// A message box of the device layer as a Qt box: the exact text and caption, the error or the
// information icon, OK or Yes/No; modal for the whole program and always on top. Esc on a Yes/No
// box answers No.
std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent = nullptr);

// Shows the box until it is answered: kOk for an OK box, kYes or kNo for a Yes/No box.
Reply ShowMessageBox(const Message& message, QWidget* parent = nullptr);

}  // namespace tarvo::app
