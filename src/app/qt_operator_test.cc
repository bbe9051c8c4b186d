#include "app/qt_operator.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <future>

#include "app/device_worker.h"
#include "app/dialog_view.h"
#include "app/modal_answer_test.h"
#include "base/wait_windows.h"
#include "dialogs/input_id_dialog.h"

using namespace tarvo;
using namespace tarvo::app;

class QtOperatorTest : public QObject {
  Q_OBJECT

 private slots:
  void workerBlocksUntilTheBoxTheWindowAndTheDialogAreAnswered();
  void transferWithoutAWaitWindowGetsAWindowOfItsOwn();
  void progressInsideAnOpenWaitWindowUsesItsBar();
  void fileChooserTakesTheOperationsFilter();
  void aStopRequestEndsTheQuestionsOfTheOperation();
  void callsOnTheGuiThreadAreDirect();
};

void QtOperatorTest::workerBlocksUntilTheBoxTheWindowAndTheDialogAreAnswered() {
  MemoryLineSink transcript;
  QtOperator op(kProgramEdition, transcript);
  DeviceWorker worker;
  std::atomic<int> stage{0};
  std::promise<void> wait_over;  // stands in for the clock's wait
  std::string head_id;
  Reply reply = Reply::kCancel;

  QVERIFY(worker.Start([&] {
    stage = 1;
    reply = op.Show({"Print Off line !!", "ERROR", Icon::kError, Buttons::kOk});
    stage = 2;
    op.OpenWaitWindow(PrinterBusyWindow(kProgramEdition));
    op.WaitStarts(10'000);
    stage = 3;
    wait_over.get_future().wait();
    op.WaitEnds();
    op.CloseWaitWindow();
    stage = 4;
    InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
    if (op.ShowDialog(dialog) == DialogResult::kOk) head_id = dialog.text;
    stage = 5;
  }));
  QVERIFY(worker.busy());
  QVERIFY(!worker.Start([] {}));  // one operation at a time

  QString text, caption;
  int stage_at_box = -1;
  testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    caption = box->windowTitle();
    stage_at_box = stage;
    QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
    box->button(QMessageBox::Ok)->click();
  });
  QTRY_COMPARE(stage.load(), 3);
  QCOMPARE(stage_at_box, 1);  // the worker waited for the answer
  QCOMPARE(text, QString("Print Off line !!"));
  QCOMPARE(caption, QString("ERROR"));
  QCOMPARE(reply, Reply::kOk);

  // The worker is in its wait: the window counts down and the GUI thread stays free.
  WaitWindowView* window = op.wait_window();
  QVERIFY(window && window->isVisible());
  QCOMPARE(window->windowTitle(), QString("Printer Busy"));
  QCOMPARE(window->findChild<QLabel*>("text")->text(), QString("Printer Busy...Please Wait !!"));
  QVERIFY(window->counting());
  QCOMPARE(window->countdown_text(), QString("10 s"));
  window->ShowElapsed(3'500);
  QCOMPARE(window->countdown_text(), QString("7 s"));
  QCOMPARE(window->progress_permille(), 350);

  int stage_at_dialog = -1;
  testing::WhenModal<DialogView>([&](DialogView* view) {
    stage_at_dialog = stage;
    QCOMPARE(view->windowTitle(), QString("Input Head ID"));
    view->findChild<QLineEdit*>("1185")->setText("ab12cd");
    view->findChild<QPushButton*>("1")->click();
  });
  wait_over.set_value();
  QTRY_COMPARE(stage.load(), 5);
  QTRY_VERIFY(!worker.busy());
  QCOMPARE(stage_at_dialog, 4);
  QVERIFY(op.wait_window() == nullptr);
  QCOMPARE(head_id, std::string("AB12CD"));
  QCOMPARE(transcript.lines(),
           (std::vector<std::string>{"message ERROR: Print Off line !!", "< ok",
                                     "window Printer Busy: Printer Busy...Please Wait !!",
                                     "wait 10000 ms", "window closed", "dialog 179 Input Head ID",
                                     "< set Head ID=ab12cd", "< ok", "closed OK"}));
}

void QtOperatorTest::transferWithoutAWaitWindowGetsAWindowOfItsOwn() {
  MemoryLineSink transcript;
  QtOperator op(kLibraryEdition, transcript);
  DeviceWorker worker;
  std::promise<void> half_seen;
  std::atomic<bool> done{false};
  QVERIFY(worker.Start([&] {
    op.TransferProgress(0, 2000);
    op.TransferProgress(1000, 2000);
    half_seen.get_future().wait();
    op.TransferProgress(2000, 2000);
    done = true;
  }));
  QTRY_VERIFY(op.wait_window() && op.wait_window()->progress_permille() == 500);
  QVERIFY(op.shows_transfer_window());
  QCOMPARE(op.wait_window()->findChild<QLabel*>("text")->text(),
           QString::fromUtf8("傳送檔案中....請稍等 !!"));
  half_seen.set_value();
  QTRY_VERIFY(done.load());
  QTRY_VERIFY(op.wait_window() == nullptr);
  QVERIFY(transcript.lines().empty());  // progress is not an interaction
}

void QtOperatorTest::progressInsideAnOpenWaitWindowUsesItsBar() {
  MemoryLineSink transcript;
  QtOperator op(kProgramEdition, transcript);
  op.OpenWaitWindow(PrinterBusyWindow(kProgramEdition));
  WaitWindowView* window = op.wait_window();
  op.TransferProgress(0, 400);
  op.TransferProgress(100, 400);
  QCOMPARE(op.wait_window(), window);
  QVERIFY(!op.shows_transfer_window());
  QCOMPARE(window->progress_permille(), 250);
  op.TransferProgress(400, 400);
  QCOMPARE(op.wait_window(), window);  // the operation closes its own window
  QCOMPARE(window->progress_permille(), 1000);
  op.CloseWaitWindow();
  QVERIFY(op.wait_window() == nullptr);
}

void QtOperatorTest::fileChooserTakesTheOperationsFilter() {
  MemoryLineSink transcript;
  QtOperator op(kProgramEdition, transcript);
  QTemporaryDir dir;
  const QString file = dir.filePath("fw.bin");
  QFile(file).open(QIODevice::WriteOnly);
  QStringList filters;
  testing::WhenModal<QFileDialog>([&](QFileDialog* chooser) {
    filters = chooser->nameFilters();
    chooser->selectFile(file);
    static_cast<QDialog*>(chooser)->accept();
  });
  auto path = op.ChooseFile({false, "All Files|*.bin||"});
  QCOMPARE(filters, QStringList{"All Files (*.bin)"});
  QVERIFY(path.has_value());
  QCOMPARE(QString::fromStdString(*path), file);

  testing::WhenModal<QFileDialog>([&](QFileDialog* chooser) { chooser->reject(); });
  QVERIFY(!op.ChooseFile({true, "All Files|*.*||"}).has_value());
  QCOMPARE(transcript.lines(),
           (std::vector<std::string>{"file open All Files|*.bin||", "< file " + file.toStdString(),
                                     "file save All Files|*.*||", "< cancel"}));
}

void QtOperatorTest::aStopRequestEndsTheQuestionsOfTheOperation() {
  MemoryLineSink transcript;
  QtOperator op(kProgramEdition, transcript);
  StopRequest stop;
  op.set_stop(&stop);
  stop.Request();
  QVERIFY_THROWS_EXCEPTION(OperationStopped,
                           op.Show({"Completed !!", "Charge", Icon::kInformation, Buttons::kOk}));
  InputIdDialog dialog(InputIdDialog::Kind::kHeadId);
  QVERIFY_THROWS_EXCEPTION(OperationStopped, op.ShowDialog(dialog));
  QVERIFY(transcript.lines().empty());
  stop.Clear();
  testing::WhenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
  QCOMPARE(op.Show({"Completed !!", "Charge", Icon::kInformation, Buttons::kOk}), Reply::kOk);
}

void QtOperatorTest::callsOnTheGuiThreadAreDirect() {
  MemoryLineSink transcript;
  QtOperator op(kProgramEdition, transcript);
  testing::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
  QCOMPARE(op.Show({"DisCharge Again?", "DisMessage", Icon::kInformation, Buttons::kYesNo}),
           Reply::kNo);
  testing::WhenModal<QMessageBox>([](QMessageBox* box) { box->reject(); });  // Esc
  QCOMPARE(op.Show({"DisCharge Again?", "DisMessage", Icon::kInformation, Buttons::kYesNo}),
           Reply::kNo);
  QCOMPARE(transcript.lines().back(), std::string("< no"));
}

QTEST_MAIN(QtOperatorTest)
#include "qt_operator_test.moc"
