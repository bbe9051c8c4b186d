#include "app/doctor_view.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMetaObject>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <optional>
#include <string>

#include "app/app_runtime.h"
#include "app/device_worker.h"
#include "doctor/diagnose.h"
#include "doctor/gather.h"

namespace tarvo::app {
namespace {

QColor StateColor(doctor::State state) {
  switch (state) {
    case doctor::State::kOk:
      return QColor(0, 128, 0);
    case doctor::State::kNote:
      return QColor(0, 0, 192);
    case doctor::State::kWarning:
      return QColor(160, 96, 0);
    case doctor::State::kProblem:
      return QColor(192, 0, 0);
  }
  return {};
}

}  // namespace

DoctorView::DoctorView(const doctor::Report& report, QWidget* parent) : QDialog(parent) {
  setObjectName("printer_check");
  setWindowTitle("Printer Check");
  auto* layout = new QVBoxLayout(this);

  table_ = new QTreeWidget(this);
  table_->setObjectName("checks");
  table_->setRootIsDecorated(false);
  table_->setWordWrap(true);
  table_->setHeaderLabels({"", "Check", "Seen", "To do"});
  for (const doctor::Finding& f : report.findings) {
    auto* row = new QTreeWidgetItem(table_);
    row->setText(0, doctor::StateLabel(f.state));
    row->setForeground(0, StateColor(f.state));
    row->setText(1, QString::fromStdString(f.check));
    row->setText(2, QString::fromStdString(f.what));
    row->setText(3, QString::fromStdString(f.todo));
    // Long paths and commands stay readable in full.
    row->setToolTip(2, row->text(2));
    row->setToolTip(3, row->text(3));
  }
  for (int column = 0; column < 2; ++column) table_->resizeColumnToContents(column);
  table_->setColumnWidth(2, 420);
  layout->addWidget(table_);

  verdict_ =
      new QLabel(report.printer_usable ? "A printer is usable." : "No printer is usable.", this);
  verdict_->setObjectName("verdict");
  layout->addWidget(verdict_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(900, 420);
}

QAction* AddPrinterCheck(QMenu* menu, QWidget* window, AppRuntime& runtime, DeviceWorker& worker) {
  QAction* action = menu->addAction("Check &Printer...");
  action->setObjectName("check_printer");
  QObject::connect(&worker, &DeviceWorker::busyChanged, action,
                   [action](bool busy) { action->setEnabled(!busy); });
  QObject::connect(action, &QAction::triggered, window, [window, &runtime, &worker] {
    if (worker.busy()) return;
    doctor::GatherOptions options;  // a USB backend of its own: the worker's is its thread's
    options.station_dir = runtime.ctx().station_dir;
    options.settings = &runtime.settings();
    // The bus and a configured line database can take seconds to answer: the checks run on the
    // worker, which also keeps operations out while they run, and the report comes back to the
    // GUI thread (dropped if the window is gone by then).
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool started = worker.Start([window, options] {
      auto error = std::make_shared<std::string>();
      auto facts =
          std::make_shared<std::optional<doctor::Facts>>(doctor::Gather(options, error.get()));
      QMetaObject::invokeMethod(
          window,
          [window, facts, error] {
            QApplication::restoreOverrideCursor();
            if (!*facts) {
              QMessageBox::critical(window, "Printer Check", QString::fromStdString(*error));
              return;
            }
            DoctorView view(doctor::Diagnose(**facts), window);
            view.exec();
          },
          Qt::QueuedConnection);
    });
    if (!started) QApplication::restoreOverrideCursor();
  });
  return action;
}

}  // namespace tarvo::app
