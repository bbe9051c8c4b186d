#include "pages/rd_page_view.h"

#include <QListWidget>
#include <QTabWidget>
#include <QtTest>

#include "pages/page_host_test_rig.h"

using namespace tarvo;
using namespace tarvo::pages;

namespace {

QStringList Texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

void DoubleClick(QListWidget* list, int row) {
  list->setCurrentRow(row);
  emit list->itemDoubleClicked(list->item(row));
}

}  // namespace

class RdPageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void listsTheThirteenEntriesInOrderWithoutASelection();
  void aTabChangeLeavesNoSelection();
  void doubleClickRunsTheEntryOnTheWorker();
  void offLineChangesNothingButTheLinksMessage();
};

void RdPageViewTest::listsTheThirteenEntriesInOrderWithoutASelection() {
  TestPageHost host;
  RdPageView view(host, host.data);
  auto* list = view.findChild<QListWidget*>("1267");
  QVERIFY(list);
  const QStringList expected = {" 1. Change Ink Charge Flag",
                                " 2. Show FW Version",
                                " 3. Set ROM Data to Init Value",
                                " 4. Load ROM Data From File",
                                " 5. Save ROM Data to File",
                                " 6. Motor Move",
                                " 7. Dump ROM Data",
                                " 8. Dump ROM Data & Set initial value",
                                " 9. Update FW",
                                "10. Motor Lock/Unlock/Hold/Release",
                                "11. PowerOff",
                                "12. Transfer 0071 data to 0073 data",
                                "13. Dump Fatal Error Code"};
  QCOMPARE(Texts(list), expected);
  QVERIFY(list->selectedItems().isEmpty());
  QVERIFY(!view.model().selection().has_value());
}

void RdPageViewTest::aTabChangeLeavesNoSelection() {
  TestPageHost host;
  QTabWidget sheet;
  auto* view = new RdPageView(host, host.data);
  sheet.addTab(view, "RD Setting");
  sheet.addTab(new QWidget, "DotWeight");
  sheet.show();
  QVERIFY(QTest::qWaitForWindowActive(&sheet));
  QListWidget* list = view->list();
  list->setFocus();
  QTRY_VERIFY(list->hasFocus());
  list->setCurrentRow(4);
  QCOMPARE(list->selectedItems().size(), 1);
  sheet.setCurrentIndex(1);
  sheet.setCurrentIndex(0);
  QVERIFY(list->selectedItems().isEmpty());
  QVERIFY(!view->model().selection().has_value());
  QCOMPARE(list->count(), 13);
}

void RdPageViewTest::doubleClickRunsTheEntryOnTheWorker() {
  TestPageHost host;
  RdPageView view(host, host.data);
  host.views = {&view};
  host.rig.op.QueueDialogLine("ok");
  DoubleClick(view.list(), 1);  // " 2. Show FW Version"
  QCOMPARE(host.runs, 1);
  QCOMPARE(host.rig.op.dialogs_shown(), std::vector<int>{195});
  QVERIFY(!host.rig.link.is_open());
  // The dialog took the focus: nothing stays selected.
  QVERIFY(view.list()->selectedItems().isEmpty());
  QVERIFY(!view.model().selection().has_value());
  QVERIFY(view.list()->isEnabled());
}

void RdPageViewTest::offLineChangesNothingButTheLinksMessage() {
  TestPageHost host;
  RdPageView view(host, host.data);
  host.views = {&view};
  const QStringList before = Texts(view.list());
  host.rig.printer.faults().absent = true;
  DoubleClick(view.list(), 6);  // " 7. Dump ROM Data"
  QCOMPARE(host.runs, 1);
  QCOMPARE(host.rig.MessageTexts(), std::vector<std::string>{"ERROR: Print Off line !!"});
  QVERIFY(host.rig.op.dialogs_shown().empty());
  QCOMPARE(Texts(view.list()), before);
}

QTEST_MAIN(RdPageViewTest)
#include "rd_page_view_test.moc"
