#include "pages/dot_weight_page_view.h"

#include <QPushButton>
#include <QtTest>

#include "pages/page_host_test_rig.h"

using namespace tarvo;
using namespace tarvo::pages;

class DotWeightPageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheFourButtons();
  void measurementShowsTheLimitsInDisabledBoxes();
  void offLineChangesNothingButTheLinksMessage();
};

void DotWeightPageViewTest::showsTheFourButtons() {
  TestPageHost host;
  DotWeightPageView view(host);
  const std::pair<int, QString> kButtons[] = {{1282, "Cleanning"},
                                              {1283, "Print Nozzle Check"},
                                              {1280, "Mono Dot Weight"},
                                              {1281, "CMY Dot Weight"}};
  for (const auto& [id, text] : kButtons) {
    auto* button = view.findChild<QPushButton*>(QString::number(id));
    QVERIFY(button);
    QCOMPARE(button->text(), text);
  }
  view.SetDeviceBusy(true);
  QVERIFY(!view.button(1280)->isEnabled());
  view.SetDeviceBusy(false);
  QVERIFY(view.button(1280)->isEnabled());
}

void DotWeightPageViewTest::measurementShowsTheLimitsInDisabledBoxes() {
  TestPageHost host;
  DotWeightPageView view(host);
  host.views = {&view};
  QString caption, max, min;
  bool max_enabled = true, min_enabled = true;
  host.rig.op.QueueDialog([&](DialogModel& d) {
    caption = QString::fromStdString(d.caption());
    max = QString::fromStdString(d.control(1286)->text);
    min = QString::fromStdString(d.control(1288)->text);
    max_enabled = d.control(1286)->enabled;
    min_enabled = d.control(1288)->enabled;
    d.control(1284)->text = "25";
    d.control(1285)->text = "23.5";
    return 1291;  // "Measure"
  });
  host.rig.op.QueueDialogLine("exit");
  view.button(1281)->click();
  QCOMPARE(caption, QString("CMY Measure"));
  QCOMPARE(max, QString("52.9"));
  QCOMPARE(min, QString("40.7"));
  QVERIFY(!max_enabled);
  QVERIFY(!min_enabled);
  const MeasureResultDialog* last = view.model().last_measurement();
  QVERIFY(last);
  QCOMPARE(QString::fromStdString(last->test_result), QString("PASS"));
  QCOMPARE(view.model().dots(), 31'602'150.0);
}

void DotWeightPageViewTest::offLineChangesNothingButTheLinksMessage() {
  TestPageHost host;
  DotWeightPageView view(host);
  host.rig.printer.faults().absent = true;
  view.button(1282)->click();
  view.button(1283)->click();
  QCOMPARE(host.runs, 2);
  QCOMPARE(host.rig.MessageTexts(),
           (std::vector<std::string>{"ERROR: Print Off line !!", "ERROR: Print Off line !!"}));
  QVERIFY(host.rig.op.dialogs_shown().empty());
}

QTEST_MAIN(DotWeightPageViewTest)
#include "dot_weight_page_view_test.moc"
