#include "app/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <atomic>

#include "app/answering_person_test.h"
#include "app/app_runtime.h"
#include "app/dialog_view.h"
#include "app/modal_answer_test.h"
#include "dialogs/input_id_dialog.h"
#include "pages/result_button.h"

using namespace tarvo;
using namespace tarvo::app;
using tarvo::pages::CResultButton;

namespace {

std::unique_ptr<AppRuntime> SimRuntime(std::unique_ptr<SettingsStore> store = nullptr) {
  // The Operation page reads and writes its station files there, not in the build folder.
  static testing::StationRunFolder station;
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station.path();
  if (!store) store = std::make_unique<MemorySettingsStore>();
  std::string error, notes;
  auto rt = AppRuntime::Make(options, std::move(store), &error, &notes);
  if (!rt) qFatal("runtime: %s", error.c_str());
  return rt;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void sheetHasTheFivePagesOverTheTopOfTheWindow();
  void portAndPipeAreReadAtStartAndWrittenBackAtEveryExit();
  void firstExitCreatesTheValuesWithZero();
  void exitAsksAndNoKeepsTheWindow();
  void deviceControlsAreDisabledWhileAnOperationRuns();
  void closingDuringAnOperationAsksThenStopsItAndCloses();
  void framedOperationOpensAndClosesTheLink();
  void resultButtonShowsItsStates();
  void defaultSizeShowsEveryStepOfBothStations();
  void enlargedWindowGivesTheRoomToTheSheet();
  void romViewerListsShowTheirLongestEntries();
};

void MainWindowTest::sheetHasTheFivePagesOverTheTopOfTheWindow() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(window.windowTitle(), QString("Product"));
  QTabWidget* sheet = window.sheet();
  QCOMPARE(sheet->count(), 5);
  const QStringList tabs{"Operation", "Setting", "RD Setting", "DotWeight", "ShowROMData"};
  for (int i = 0; i < 5; ++i) {
    QCOMPARE(sheet->tabText(i), tabs[i]);
    QVERIFY(sheet->isTabEnabled(i));
  }
  QCOMPARE(sheet->currentIndex(), 0);
  // The sheet is a part of the window, above "Exit".
  QCOMPARE(sheet->window(), static_cast<QWidget*>(&window));
  auto* exit = window.findChild<QPushButton*>("1");
  QCOMPARE(exit->text(), QString("Exit"));
  const QRect exit_at(exit->mapTo(&window, QPoint()), exit->size());
  const QRect sheet_at(sheet->mapTo(&window, QPoint()), sheet->size());
  QVERIFY(exit_at.top() >= sheet_at.bottom());
  QVERIFY(exit_at.right() > window.width() * 3 / 4);
  QVERIFY(sheet_at.bottom() > window.height() * 7 / 10);
  for (const char* id : {"1040", "1041", "1042", "1043", "1044"}) {
    QVERIFY(!window.findChild<QRadioButton*>(id)->isVisible());
  }
  QCOMPARE(window.about_action()->text(), QString("&About Tarvo..."));
  // The Operation page restores its station on the device worker at start; then the item works.
  QTRY_VERIFY(!window.busy());
  QSignalSpy about(&window, &MainWindow::aboutRequested);
  QString about_caption;
  testing::WhenModal<QDialog>([&](QDialog* box) {
    about_caption = box->windowTitle();
    box->findChild<QPushButton*>("1")->click();
  });
  window.about_action()->trigger();
  QCOMPARE(about.count(), 1);
  QCOMPARE(about_caption, QString("About Tarvo"));
}

void MainWindowTest::portAndPipeAreReadAtStartAndWrittenBackAtEveryExit() {
  auto store = std::make_unique<MemorySettingsStore>();
  store->WriteInt32(kProgramKey, "Port", 1);
  store->WriteInt32(kProgramKey, "Pipe", 2);
  auto rt = SimRuntime(std::move(store));
  {
    MainWindow window(*rt);
    QVERIFY(window.findChild<QRadioButton*>("1041")->isChecked());
    QVERIFY(window.findChild<QRadioButton*>("1044")->isChecked());
    window.show();
    rt->settings().WriteInt32(kProgramKey, "Port", 7);  // overwritten at the exit
    QTest::keyClick(&window, Qt::Key_Escape);           // no question
    QVERIFY(!window.isVisible());
  }
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Port"), std::optional<int32_t>(1));
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Pipe"), std::optional<int32_t>(2));

  // The close box ends it the same way.
  rt->settings().WriteInt32(kProgramKey, "Pipe", 9);  // no such radio button: read as 0
  MainWindow again(*rt);
  QVERIFY(again.findChild<QRadioButton*>("1042")->isChecked());
  again.show();
  again.close();
  QVERIFY(!again.isVisible());
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Pipe"), std::optional<int32_t>(0));
}

void MainWindowTest::firstExitCreatesTheValuesWithZero() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  testing::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  window.findChild<QPushButton*>("1")->click();
  QVERIFY(!window.isVisible());
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Port"), std::optional<int32_t>(0));
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Pipe"), std::optional<int32_t>(0));
}

void MainWindowTest::exitAsksAndNoKeepsTheWindow() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  window.sheet()->setCurrentIndex(3);
  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool on_top = false;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    caption = box->windowTitle();
    icon = box->icon();
    on_top = box->windowFlags() & Qt::WindowStaysOnTopHint;
    box->button(QMessageBox::No)->click();
  });
  window.findChild<QPushButton*>("1")->click();
  QCOMPARE(text, QString("Do you want to exit !?"));
  QCOMPARE(caption, QString("EXIT"));
  QCOMPARE(icon, QMessageBox::Information);
  QVERIFY(on_top);
  QVERIFY(window.isVisible());
  QCOMPARE(window.sheet()->currentIndex(), 3);
  QVERIFY(!rt->settings().ReadInt32(kProgramKey, "Port").has_value());
}

void MainWindowTest::deviceControlsAreDisabledWhileAnOperationRuns() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  std::atomic<bool> done{false};
  std::string entered;
  QVERIFY(window.RunOperation([&](const Context& ctx, PrinterLink&) {
    InputIdDialog dialog(InputIdDialog::Kind::kMachineNo);
    if (ctx.op.ShowDialog(dialog) == DialogResult::kOk) entered = dialog.text;
    done = true;
  }));
  QVERIFY(!window.RunOperation([](const Context&, PrinterLink&) {}));
  bool page_enabled = true, tabs_enabled = false, about_enabled = true;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    // The page stays, its device control (the R&D list) waits.
    page_enabled = window.page(2)->findChild<QWidget*>("1267")->isEnabled();
    tabs_enabled = window.sheet()->isEnabled() && window.sheet()->tabBar()->isEnabled();
    about_enabled = window.about_action()->isEnabled();
    view->findChild<QLineEdit*>("1185")->setText("12345");
    view->Press(DialogModel::kOkId);
  });
  QTRY_VERIFY(done.load());
  QVERIFY(!page_enabled);
  QVERIFY(tabs_enabled);
  QVERIFY(!about_enabled);
  QTRY_VERIFY(!window.busy());
  QVERIFY(window.page(2)->isEnabled());
  QVERIFY(window.page(2)->findChild<QWidget*>("1267")->isEnabled());
  QVERIFY(window.about_action()->isEnabled());
  QCOMPARE(entered, std::string("12345"));
}

void MainWindowTest::closingDuringAnOperationAsksThenStopsItAndCloses() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  std::atomic<bool> stopped{false};
  // The operation polls the stop request as a wait of the device layer does.
  std::atomic<bool> running{false};
  QVERIFY(window.RunOperation([&](const Context& ctx, PrinterLink&) {
    running = true;
    while (!ctx.stop->requested()) std::this_thread::yield();
    stopped = true;
    throw OperationStopped();
  }));
  QTRY_VERIFY(running.load());
  QString text;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    box->button(QMessageBox::Yes)->click();
  });
  window.close();
  QVERIFY(text.contains("Stop it and exit?"));
  QTRY_VERIFY(stopped.load());
  QTRY_VERIFY(!window.isVisible());
  QCOMPARE(rt->settings().ReadInt32(kProgramKey, "Port"), std::optional<int32_t>(0));
}

void MainWindowTest::framedOperationOpensAndClosesTheLink() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  std::atomic<bool> was_open{false};
  QVERIFY(window.RunFramed([&](const Context&, PrinterLink& link) { was_open = link.is_open(); }));
  QTRY_VERIFY(!window.busy());
  QVERIFY(was_open.load());
  QVERIFY(!rt->link().is_open());
}

void MainWindowTest::resultButtonShowsItsStates() {
  CResultButton button("PASS");
  button.resize(160, 60);
  QCOMPARE(CResultButton::TextColour(2), QColor(0, 180, 0));
  QCOMPARE(CResultButton::TextColour(5), QColor(255, 0, 0));
  QCOMPARE(CResultButton::TextColour(7), QColor(0, 0, 255));
  QCOMPARE(CResultButton::FontHeight(3), 14);
  QCOMPARE(CResultButton::FontHeight(4), 32);
  QVERIFY(CResultButton::FontFamily() == "Times New Roman" ||
          CResultButton::FontFamily() == "Liberation Serif");
  button.setState(6);
  QImage large = button.grab().toImage();
  QCOMPARE(large.pixelColor(6, 6), QColor(Qt::white));
  bool green = false;
  for (int y = 0; y < large.height() && !green; ++y) {
    for (int x = 0; x < large.width() && !green; ++x)
      green = large.pixelColor(x, y) == QColor(0, 180, 0);
  }
  QVERIFY(green);
  button.setState(1);
  QVERIFY(button.grab().toImage().pixelColor(6, 6) != QColor(Qt::white));
  button.setState(12);
  QCOMPARE(button.state(), 0);
  QSignalSpy clicked(&button, &QPushButton::clicked);
  QTest::mouseClick(&button, Qt::LeftButton);  // nobody listens; nothing happens
  QCOMPARE(button.state(), 0);
}

void MainWindowTest::defaultSizeShowsEveryStepOfBothStations() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  // The offscreen screen is 800 by 600; the station PCs' have room for the window.
  window.resize(window.DefaultSize(QSize(1366, 728)));
  QVERIFY(window.DefaultSize(QSize(640, 480)) == QSize(640, 480));  // never beyond the screen
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTRY_VERIFY(!window.busy());
  auto* selector = window.page(0)->findChild<QComboBox*>("1271");
  auto* steps = window.page(0)->findChild<QListWidget*>("1267");
  for (int station : {1, 0}) {
    selector->setCurrentIndex(station);
    emit selector->activated(station);
    QTRY_VERIFY(!window.busy());
    QTRY_COMPARE(steps->count(), station == 0 ? 2 : 27);
    const QRect visible = steps->viewport()->rect();
    for (int row = 0; row < steps->count(); ++row) {
      QListWidgetItem* item = steps->item(row);
      const QRect at = steps->visualItemRect(item);
      QVERIFY2(at.top() >= visible.top() && at.bottom() <= visible.bottom(),
               qPrintable(QString("%1: rows %2..%3 of a viewport of %4")
                              .arg(item->text())
                              .arg(at.top())
                              .arg(at.bottom())
                              .arg(visible.height())));
      QVERIFY2(steps->fontMetrics().horizontalAdvance(item->text()) < visible.width(),
               qPrintable(item->text()));
    }
  }
}

void MainWindowTest::enlargedWindowGivesTheRoomToTheSheet() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* exit = window.findChild<QPushButton*>("1");
  auto* steps = window.page(0)->findChild<QListWidget*>("1267");
  const int list_height = steps->height();
  window.resize(window.size() * 3 / 2);
  QTRY_VERIFY(steps->height() > list_height * 5 / 4);
  // Between the sheet and "Exit" no more than the margins of the line.
  const QRect exit_at(exit->mapTo(&window, QPoint()), exit->size());
  const QRect sheet_at(window.sheet()->mapTo(&window, QPoint()), window.sheet()->size());
  QVERIFY(exit_at.top() >= sheet_at.bottom());
  QVERIFY2(exit_at.top() - sheet_at.bottom() < exit->height(),
           qPrintable(QString("%1 px above Exit").arg(exit_at.top() - sheet_at.bottom())));
}

void MainWindowTest::romViewerListsShowTheirLongestEntries() {
  auto rt = SimRuntime();
  MainWindow window(*rt);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  window.sheet()->setCurrentIndex(4);
  auto* drop_down = window.page(4)->findChild<QComboBox*>("1271");
  auto* list = window.page(4)->findChild<QListWidget*>("1267");
  for (int i = 0; i < drop_down->count(); ++i) {
    drop_down->setCurrentIndex(i);
    QVERIFY(list->count() > 0);
    for (int row = 0; row < list->count(); ++row) {
      QListWidgetItem* item = list->item(row);
      QCOMPARE(item->toolTip(), item->text());
      QVERIFY2(list->fontMetrics().horizontalAdvance(item->text()) < list->viewport()->width(),
               qPrintable(item->text()));
    }
  }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
