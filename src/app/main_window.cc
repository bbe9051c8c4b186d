#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "app/app_icon.h"
#include "app/app_runtime.h"
#include "app/doctor_view.h"
#include "app/message_box.h"
#include "pages/about_view.h"
#include "pages/page_sheet.h"
#include "station/about_box.h"
#include "station/device_frame.h"

namespace tarvo::app {
namespace {

QButtonGroup* HiddenRadios(QWidget* owner, QLayout* layout,
                           std::initializer_list<const char*> texts, int first_id) {
  auto* group = new QButtonGroup(owner);
  int index = 0;
  for (const char* text : texts) {
    auto* radio = new QRadioButton(text, owner);
    radio->setObjectName(QString::number(first_id + index));
    radio->hide();
    layout->addWidget(radio);
    group->addButton(radio, index++);
  }
  return group;
}

}  // namespace

const char* MainWindow::PageCaption(int index) {
  return pages::PageSheet::Caption(index);
}

MainWindow::MainWindow(AppRuntime& runtime, QWidget* parent) : QDialog(parent), runtime_(runtime) {
  setObjectName("Product");
  setWindowTitle("Product");
  setWindowIcon(AppIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  auto* menu_bar = new QMenuBar(this);
  QMenu* menu = menu_bar->addMenu("&Tarvo");
  about_ = menu->addAction("&About Tarvo...");
  about_->setObjectName("about");
  connect(about_, &QAction::triggered, this, [this] {
    CopyRadiosToValues();
    emit aboutRequested();
    ShowAbout();
  });
  AddPrinterCheck(menu, this, runtime_, worker_);
  layout->setMenuBar(menu_bar);

  // The sheet is part of the window: its pages fill the top 85 %, "Exit" sits below them.
  sheet_ = new QTabWidget(this);
  sheet_->setObjectName("sheet");
  pages_ = new pages::PageSheet(*this, this);
  for (int i = 0; i < kPageCount; ++i) sheet_->addTab(pages_->page(i), PageCaption(i));
  sheet_->setCurrentIndex(0);
  // The sheet takes whatever the window grows by; the line with "Exit" keeps its height.
  layout->addWidget(sheet_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(0, 0, 0, 0);
  port_ = HiddenRadios(this, bottom, {"USB", "LPT"}, 1040);
  pipe_ = HiddenRadios(this, bottom, {"00", "01", "02"}, 1042);
  // The seconds left of a longer wait, where the person looks while the controls are greyed.
  status_ = new QLabel(this);
  status_->setObjectName("status");
  status_->setText(runtime_.wait_status().line());
  connect(&runtime_.wait_status(), &WaitStatus::lineChanged, status_, &QLabel::setText);
  bottom->addWidget(status_, 1);
  exit_ = new QPushButton("Exit", this);
  exit_->setObjectName("1");
  exit_->setDefault(true);
  connect(exit_, &QPushButton::clicked, this, &MainWindow::accept);
  bottom->addWidget(exit_, 0, Qt::AlignBottom);
  auto* bottom_box = new QWidget(this);
  bottom_box->setLayout(bottom);
  layout->addWidget(bottom_box, 0);

  const QScreen* screen = this->screen();
  resize(DefaultSize(screen ? screen->availableGeometry().size() : QSize(1366, 728)));

  values_ = station::ReadPortPipe(runtime_.settings());
  port_->button(values_.port)->setChecked(true);
  pipe_->button(values_.pipe)->setChecked(true);

  runtime_.op().set_parent_window(this);
  connect(&worker_, &DeviceWorker::busyChanged, this, &MainWindow::SetBusy);
  connect(&worker_, &DeviceWorker::failed, this, [](const QString& what) {
    std::fprintf(stderr, "Tarvo: the operation ended: %s\n", what.toLocal8Bit().constData());
  });
}

MainWindow::~MainWindow() {
  runtime_.op().set_parent_window(nullptr);
}

QSize MainWindow::DefaultSize(QSize room) const {
  // 434 by 297 dialog units of the usual dialog font, or what the pages ask for to show whole
  // (the Operation page: every step of either station), as far as there is room.
  // The sheet's frame and tab bar as the style draws them once polished; until then the hint
  // of the sheet falls short of its pages'.
  const QSize sheet_frame = sheet_->sizeHint() - sheet_->currentWidget()->sizeHint();
  QSize pages;
  for (int i = 0; i < kPageCount; ++i) pages = pages.expandedTo(page(i)->sizeHint());
  const QSize rest = layout()->sizeHint() - sheet_->sizeHint();
  const QSize wanted = (pages + sheet_frame.expandedTo(QSize(8, 48)) + rest);
  return wanted.expandedTo(layout()->sizeHint()).expandedTo(QSize(651, 483)).boundedTo(room);
}

QWidget* MainWindow::page(int index) const {
  return sheet_->widget(index);
}

const Context& MainWindow::ctx() const {
  return runtime_.ctx();
}

PrinterLink& MainWindow::link() {
  return runtime_.link();
}

void MainWindow::ShowAbout() {
  // No command of the printer returns its identification record: its lines show their labels.
  const station::AboutBox box =
      station::BuildAboutBox(station::PrinterIdRecord{}, station::ReadSystemFacts());
  pages::AboutView view(box, AppIcon(), this);
  view.exec();
}

void MainWindow::CopyRadiosToValues() {
  values_.port = port_->checkedId() < 0 ? 0 : port_->checkedId();
  values_.pipe = pipe_->checkedId() < 0 ? 0 : pipe_->checkedId();
}

bool MainWindow::RunOperation(Operation operation) {
  if (worker_.busy()) return false;
  runtime_.stop().Clear();
  AppRuntime* rt = &runtime_;
  return worker_.Start([rt, operation = std::move(operation)] {
    runtime::OperationEnd end(rt->ctx());  // the wire log's lines are in the file
    operation(rt->ctx(), rt->link());
  });
}

bool MainWindow::RunFramed(Operation operation) {
  return RunOperation([operation = std::move(operation)](const Context& ctx, PrinterLink& link) {
    station::RunInDeviceFrame(link, [&] { operation(ctx, link); });
  });
}

void MainWindow::SetBusy(bool busy) {
  pages_->SetDeviceBusy(busy);
  about_->setEnabled(!busy);
  if (!busy && close_when_idle_) done(QDialog::Rejected);
}

bool MainWindow::MayCloseWhileBusy() {
  if (close_when_idle_) return false;
  const Reply reply =
      ShowMessageBox(Message{"A printer operation is still running.\nStop it and exit?", "EXIT",
                             Icon::kInformation, Buttons::kYesNo},
                     this);
  if (reply != Reply::kYes || !worker_.busy()) return reply == Reply::kYes;
  close_when_idle_ = true;
  runtime_.stop().Request();
  return false;
}

void MainWindow::accept() {
  if (worker_.busy()) {
    if (MayCloseWhileBusy()) done(QDialog::Accepted);
    return;
  }
  const Reply reply = ShowMessageBox(
      Message{"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo}, nullptr);
  if (reply != Reply::kYes) return;
  CopyRadiosToValues();
  done(QDialog::Accepted);
}

void MainWindow::reject() {
  if (worker_.busy()) {
    if (MayCloseWhileBusy()) done(QDialog::Rejected);
    return;
  }
  done(QDialog::Rejected);
}

void MainWindow::done(int result) {
  if (!written_) {
    written_ = true;
    station::WritePortPipe(runtime_.settings(), values_);
  }
  QDialog::done(result);
}

}  // namespace tarvo::app
