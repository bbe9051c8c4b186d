#include "pages/rom_viewer_page_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <cstring>

#include "model/rom_layout.h"
#include "pages/page_host_test_rig.h"

using namespace tarvo;
using namespace tarvo::pages;

namespace {

QStringList Texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// What the right-hand side shows, control by control.
std::map<int, QString> Shown(const RomViewerPageView& view) {
  std::map<int, QString> out;
  for (int id :
       {1296, 1297, 1298, 1299, 1302, 1185, 1303, 1094, 1300, 1259, 1260, 1262, 1263, 1301, 1279}) {
    out[id] = view.field(id)->text();
  }
  return out;
}

void DoubleClick(QListWidget* list, int row) {
  list->setCurrentRow(row);
  emit list->itemDoubleClicked(list->item(row));
}

// A printer that went through Station 1: customer "001", head ID, offsets.
void Prepare(TestPageHost& host) {
  auto& e = host.rig.printer.eeprom();
  std::memcpy(&e[kModelNameOffset], "001", 3);
  std::memcpy(&e[kUsbSerialNoOffset], "AB1Z90412011230456", 18);
  std::memcpy(&e[kHeadIdOffset], "AB12CD", 6);
  e[kMs1AdjustOffset] = 0xFD;  // -3
  e[kTofAdjustOffset] = 4;
  e[kFtFlagOffset] = 1;
}

}  // namespace

class RomViewerPageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithOobAndItsSixteenEntries();
  void productLineShowsFiveEntries();
  void showsTheFieldsWithTheirLabelsAndGroups();
  void readRomDataInProductLineShowsTheCountsZero();
  void readRomDataInOobChecksTheCustomer();
  void offLineChangesNothingButTheLinksMessage();
};

void RomViewerPageViewTest::startsWithOobAndItsSixteenEntries() {
  TestPageHost host;
  RomViewerPageView view(host, host.data, host.files);
  auto* drop_down = view.findChild<QComboBox*>("1271");
  auto* list = view.findChild<QListWidget*>("1267");
  QVERIFY(drop_down && list);
  QCOMPARE(drop_down->count(), 3);
  QCOMPARE(drop_down->itemText(0), QString("OOB "));
  QCOMPARE(drop_down->itemText(1), QString("QRE "));
  QCOMPARE(drop_down->itemText(2), QString("Product Line"));
  QCOMPARE(drop_down->currentText(), QString("OOB "));
  QCOMPARE(list->count(), 16);
  QCOMPARE(list->item(0)->text(), QString(" 1. Read ROM Data"));
  QCOMPARE(list->item(2)->text(), QString("     2-1. Nozzle-Cleanning CL1/  Print Nozzle Check"));
  QCOMPARE(list->item(15)->text(), QString(" 8. Set Shippment State"));
  drop_down->setCurrentIndex(1);
  QCOMPARE(list->count(), 16);
  QCOMPARE(list->item(15)->text(), QString(" 8. Set Experiment State"));
}

void RomViewerPageViewTest::productLineShowsFiveEntries() {
  TestPageHost host;
  RomViewerPageView view(host, host.data, host.files);
  view.drop_down()->setCurrentIndex(2);
  QCOMPARE(Texts(view.list()),
           (QStringList{" 1. Read ROM Data", " 2. Update FW", " 3. Set Initial Value",
                        " 4. Set FT Flag", " 5. Set Init Flag"}));
  QCOMPARE(view.model().drop_down_index(), 2);
}

void RomViewerPageViewTest::showsTheFieldsWithTheirLabelsAndGroups() {
  TestPageHost host;
  RomViewerPageView view(host, host.data, host.files);
  QCOMPARE(view.field(1296)->text(), QString(""));
  QCOMPARE(view.field(1094)->text(), QString("0"));
  QVERIFY(view.field(1298)->isReadOnly());
  auto label_of = [&](int id) {
    for (QLabel* label : view.findChildren<QLabel*>()) {
      if (label->buddy() == view.field(id)) return label->text();
    }
    return QString();
  };
  QCOMPARE(label_of(1299), QString("Modal"));
  QCOMPARE(label_of(1303), QString("Nozzle Cleanning"));
  QCOMPARE(label_of(1302), QString("FW Ver."));
  auto group_of = [&](int id) {
    for (QWidget* w = view.field(id)->parentWidget(); w; w = w->parentWidget()) {
      if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    }
    return QString();
  };
  QCOMPARE(group_of(1296), QString());
  for (int id : {1185, 1303, 1094, 1300, 1259, 1260, 1262, 1263}) {
    QCOMPARE(group_of(id), QString("Adjustment Value"));
  }
  QCOMPARE(group_of(1301), QString("Flag"));
  QCOMPARE(group_of(1279), QString("Flag"));
}

void RomViewerPageViewTest::readRomDataInProductLineShowsTheCountsZero() {
  TestPageHost host;
  Prepare(host);
  RomViewerPageView view(host, host.data, host.files);
  host.views = {&view};
  host.data.chart_label.ink_charges = 5;
  host.data.chart_label.nozzle_cleanings = 7;
  view.drop_down()->setCurrentIndex(2);
  DoubleClick(view.list(), 0);
  QCOMPARE(host.runs, 1);
  QCOMPARE(view.field(1298)->text(), QString("AB12CD"));
  QCOMPARE(view.field(1296)->text(), QString("001"));
  QCOMPARE(view.field(1259)->text(), QString("-3"));
  QCOMPARE(view.field(1094)->text(), QString("4"));
  QCOMPARE(view.field(1279)->text(), QString("1"));
  QCOMPARE(view.field(1185)->text(), QString("0"));
  QCOMPARE(view.field(1303)->text(), QString("0"));
  QVERIFY(host.rig.op.messages().empty());
  QVERIFY(view.list()->isEnabled());
}

void RomViewerPageViewTest::readRomDataInOobChecksTheCustomer() {
  TestPageHost host;
  Prepare(host);
  host.files.WriteStation2({2, '0', '7'});  // another customer than "001"
  RomViewerPageView view(host, host.data, host.files);
  host.views = {&view};
  DoubleClick(view.list(), 0);
  QCOMPARE(host.rig.op.messages().size(), size_t{1});
  QCOMPARE(host.rig.op.messages()[0].caption, std::string("ERROR"));
  QCOMPARE(view.field(1298)->text(), QString(""));  // not shown: the check failed
  host.files.WriteStation2({0, '0', '7'});
  DoubleClick(view.list(), 0);
  QCOMPARE(view.field(1298)->text(), QString("AB12CD"));
  QCOMPARE(host.data.chart_label.jig_no[0], uint8_t{'0'});
}

void RomViewerPageViewTest::offLineChangesNothingButTheLinksMessage() {
  TestPageHost host;
  Prepare(host);
  RomViewerPageView view(host, host.data, host.files);
  host.views = {&view};
  view.drop_down()->setCurrentIndex(2);
  DoubleClick(view.list(), 0);
  const auto shown = Shown(view);
  const QStringList entries = Texts(view.list());
  host.data.chart_label.nozzle_cleanings = 9;
  host.rig.printer.faults().absent = true;
  host.rig.Forget();
  DoubleClick(view.list(), 0);
  QCOMPARE(host.rig.MessageTexts(), std::vector<std::string>{"ERROR: Print Off line !!"});
  QVERIFY(Shown(view) == shown);
  QCOMPARE(Texts(view.list()), entries);
  QCOMPARE(view.drop_down()->currentIndex(), 2);
}

QTEST_MAIN(RomViewerPageViewTest)
#include "rom_viewer_page_view_test.moc"
