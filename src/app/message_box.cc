#include "app/message_box.h"

#include <QString>

namespace tarvo::app {

std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setObjectName("message");
  box->setWindowTitle(QString::fromStdString(message.caption));
  box->setText(QString::fromStdString(message.text));
  box->setIcon(message.icon == Icon::kError ? QMessageBox::Critical : QMessageBox::Information);
  if (message.buttons == Buttons::kYesNo) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
  }
  box->setWindowModality(Qt::ApplicationModal);
  box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  return box;
}

Reply ShowMessageBox(const Message& message, QWidget* parent) {
  auto box = MakeMessageBox(message, parent);
  const int answer = box->exec();
  if (message.buttons == Buttons::kOk) return Reply::kOk;
  return answer == QMessageBox::Yes ? Reply::kYes : Reply::kNo;
}

}  // namespace tarvo::app
