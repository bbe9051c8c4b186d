#pragma once

#include <QDialog>

#include "doctor/report.h"

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;

namespace tarvo::app {

class AppRuntime;
class DeviceWorker;

// The printer checks' report in a window: one row per check with its state, what was seen and
// what to do, and the verdict below. Shows only; the checks are made before it is built.
class DoctorView : public QDialog {
  Q_OBJECT

 public:
  DoctorView(const doctor::Report& report, QWidget* parent = nullptr);

  QTreeWidget* table() const { return table_; }
  QLabel* verdict() const { return verdict_; }

 private:
  QTreeWidget* table_;
  QLabel* verdict_;
};

// Adds "Check &Printer..." to `menu`, named "check_printer": it makes the checks on `worker`
// (with a busy cursor; the window goes on answering while the bus is looked at and a configured
// line database is tried) and then shows their report modally over `window`. Not while `worker` runs an
// operation: the printer it holds would look claimed. The action belongs to the menu.
QAction* AddPrinterCheck(QMenu* menu, QWidget* window, AppRuntime& runtime, DeviceWorker& worker);

}  // namespace tarvo::app
