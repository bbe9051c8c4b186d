#pragma once

#include <QDialog>
#include <functional>

#include "app/device_worker.h"
#include "station/program_settings.h"
#include "base/context.h"
#include "link/printer_link.h"
#include "pages/page_host.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace tarvo::pages {
class PageSheet;
}

namespace tarvo::app {

class AppRuntime;

// The main window "Product": the sheet of the five pages (Operation, Setting, RD Setting,
// DotWeight, ShowROMData) over the window but its bottom line, which holds the status line (the
// seconds left of a longer wait) and "Exit" at the bottom right; the hidden
// port and pipe radio groups, and a menu with "&About Tarvo...", which shows the About box owned by
// the window.
//
// The window is the pages' host: device work runs on the window's device worker, one operation at
// a time; while one runs, every page's device controls and the About item are disabled, so
// nothing can start a second one, while the tabs can still be switched. Closing the window
// while an operation runs asks first, and then stops the operation and closes once it has ended.
//
// "Exit" asks "Do you want to exit !?"; Esc and the close box end the window without asking.
// Whichever way it ends, "Port" and "Pipe" are written back to the settings store.
class MainWindow : public QDialog, public pages::PageHost {
  Q_OBJECT

 public:
  explicit MainWindow(AppRuntime& runtime, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The five pages in tab order.
  static constexpr int kPageCount = 5;
  static const char* PageCaption(int index);
  QTabWidget* sheet() const { return sheet_; }
  QWidget* page(int index) const;
  pages::PageSheet& pages() { return *pages_; }
  QAction* about_action() const { return about_; }
  // The size the window opens at where `room` is free on the screen.
  QSize DefaultSize(QSize room) const;
  // The status line left of "Exit": the seconds left of a longer wait.
  QLabel* status_line() const { return status_; }

  // PageHost: the program's context and link, and the device worker.
  const Context& ctx() const override;
  PrinterLink& link() override;
  // Runs `operation` on the device worker. False while another one runs.
  bool RunOperation(Operation operation) override;
  bool busy() const override { return worker_.busy(); }
  // The device-action frame: opens the link, runs `operation` when it opened, closes the link.
  bool RunFramed(Operation operation);
  DeviceWorker& worker() { return worker_; }

  // The values of the radio groups as they will be written back.
  const station::PortPipe& values() const { return values_; }

  void done(int result) override;
  void reject() override;
  void accept() override;

 signals:
  // "&About Tarvo..." was chosen (the values are copied from the radio buttons first); the
  // About box is shown modally after it.
  void aboutRequested();

 private:
  void ShowAbout();
  void CopyRadiosToValues();
  void SetBusy(bool busy);
  // Asks whether to stop the running operation and end; true when the window may close now.
  bool MayCloseWhileBusy();

  AppRuntime& runtime_;
  DeviceWorker worker_;
  QTabWidget* sheet_;
  pages::PageSheet* pages_;
  QPushButton* exit_;
  QLabel* status_;
  QButtonGroup* port_;
  QButtonGroup* pipe_;
  QAction* about_;
  station::PortPipe values_;
  bool close_when_idle_ = false;
  bool written_ = false;
};

}  // namespace tarvo::app
