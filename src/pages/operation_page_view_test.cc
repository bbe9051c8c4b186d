#include "pages/operation_page_view.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <fstream>

#include "pages/result_button.h"
#include "station/station_test_rig.h"

using namespace tarvo;
using namespace tarvo::pages;
using station::StationRig;

namespace {

// A host that runs every operation on the calling (GUI) thread, at once, with the rig's
// simulated printer in virtual time and its recording operator; it tells the view about the
// start and the end of each operation as the main window does.
class SyncHost : public PageHost {
 public:
  const Context& ctx() const override { return rig.ctx; }
  PrinterLink& link() override { return rig.link; }
  bool RunOperation(Operation operation) override {
    if (busy_) return false;
    busy_ = true;
    ++operations;
    if (view) view->SetDeviceBusy(true);
    operation(rig.ctx, rig.link);
    busy_ = false;
    if (view) {
      view->SetDeviceBusy(false);
      view->OperationEnded();
    }
    return true;
  }
  bool busy() const override { return busy_; }

  StationRig rig;
  PageView* view = nullptr;
  int operations = 0;
  bool busy_ = false;
};

// A page over the host's station folder, initialised as at start-up.
// The page sits in a shown window of its own, so that its resizes reach it at once.
struct Page {
  explicit Page(SyncHost& host)
      : host(host), view(*new OperationPageView(host, host.rig.data, host.rig.files, &window)) {
    host.view = &view;
    window.resize(OperationPageView::kDesignSize * 2);
    view.resize(OperationPageView::kDesignSize);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(view.initialised());
  }
  QLineEdit* field(int id) const { return view.findChild<QLineEdit*>(QString::number(id)); }
  QString text(int id) const { return field(id)->text(); }
  QComboBox* selector() const { return view.findChild<QComboBox*>("1271"); }
  QListWidget* steps() const { return view.findChild<QListWidget*>("1267"); }
  CResultButton* label(const QString& name) const { return view.findChild<CResultButton*>(name); }
  QList<CResultButton*> resultSlots() const {
    QList<CResultButton*> out;
    for (CResultButton* b : view.findChildren<CResultButton*>()) {
      if (b->objectName().startsWith("slot:")) out << b;
    }
    return out;
  }
  QStringList slotTexts() const {
    QStringList out;
    for (CResultButton* b : resultSlots()) out << b->text();
    return out;
  }
  void doubleClick(int row) {
    QListWidget* list = steps();
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    list->scrollToItem(item);
    list->setCurrentItem(item);
    const QPoint at = list->visualItemRect(item).center();
    const int before = host.operations;
    // A person presses, releases and presses again: the view takes the second press as the
    // double-click on the item it pressed first.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY2(host.operations == before + 1, "the double-click started nothing");
  }
  // Everything the page shows, to compare before and after.
  QStringList snapshot() const {
    QStringList out;
    for (QLineEdit* e : view.findChildren<QLineEdit*>()) out << e->objectName() + "=" + e->text();
    for (CResultButton* b : view.findChildren<CResultButton*>())
      out << b->objectName() + "=" + b->text() + "/" + QString::number(b->state());
    out << "selector=" + QString::number(selector()->currentIndex());
    for (int i = 0; i < steps()->count(); ++i) out << steps()->item(i)->text();
    return out;
  }

  SyncHost& host;
  QWidget window;
  OperationPageView& view;
};

void WriteStationIndex(const StationRig& rig, char index) {
  std::ofstream(rig.files.PathOf(station::StationFiles::kStationFile), std::ios::binary)
      .write(&index, 1);
}

const QStringList kStation2SlotTexts{"CT",    "Nozzle Check", "TOF",     "MS1",       "MS2",
                                     "VSD",   "ECN",          "G0S A4",  "DisCharge", "S/F",
                                     "Photo", "Card",         "Envelope"};

}  // namespace

class OperationPageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsStationOneFromAFreshFolder();
  void startUpRestoresStationTwoFromItsFile();
  void aStationFileOfFiveSelectsNothingAndBehavesAsStationTwo();
  void choosingAStationRunsOnTheWorkerAndShowsItsList();
  void offLineDoubleClickChangesNothingButTheLinksMessage();
  void slotsAndTotalFollowPassAndFail();
  void failedHeadIdWriteTurnsWriteRomFailRed();
  void deviceControlsAreDisabledWhileAnOperationRuns();
  void losingTheFocusKeepsTheSelection();
  void panelScalesWithTheWindowByOneFactor();
  void largerFontScalesThePageAndItsMinimumSize();
  void everyLabelTextFitsItsPlace();
};

void OperationPageViewTest::startUpShowsStationOneFromAFreshFolder() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  QCOMPARE(host.operations, 1);  // the initialisation, on the host's worker

  QCOMPARE(page.selector()->count(), 2);
  QCOMPARE(page.selector()->itemText(0), QString("Station 1: Head ID"));
  QCOMPARE(page.selector()->itemText(1), QString("Station 2: Adjustment"));
  QCOMPARE(page.selector()->currentIndex(), 0);
  QCOMPARE(host.rig.files.ReadStationIndex(), 0);

  QCOMPARE(page.steps()->count(), 2);
  QCOMPARE(page.steps()->item(0)->text(), QString(" 1. Lubrication of Grease"));
  QCOMPARE(page.steps()->item(1)->text(), QString(" 2. Input Head ID"));

  // Every field with its label, exactly as the page names them; all read-only.
  const std::pair<int, const char*> labels[] = {
      {1182, "Program :"},     {1183, "FW Version :"},   {1255, "Customer :"},
      {1264, "Belt Name :"},   {1266, "PC Name :"},      {1256, "USB S/No. :"},
      {1257, "Head ID :"},     {1269, "Jig No. / CT :"}, {1268, "Machine No. :"},
      {1273, "Machine ID :"},  {1270, "Ink Charge :"},   {1272, "Clean Nozzle :"},
      {1274, "Total Print :"}, {1259, "MS1 :"},          {1260, "MS2 :"},
      {1262, "VSD :"},         {1263, "ECN :"},          {1094, "TOF :"},
      {1261, "Left Pos. :"}};
  for (const auto& [id, text] : labels) {
    QLineEdit* edit = page.field(id);
    QVERIFY2(edit, text);
    QVERIFY(edit->isReadOnly());
    auto* label = page.view.findChild<QLabel*>(QString("label:%1").arg(id));
    QVERIFY2(label, text);
    QCOMPARE(label->text(), QString(text));
    QCOMPARE(label->buddy(), static_cast<QWidget*>(edit));
  }
  auto* group = page.view.findChild<QGroupBox*>("group:Bi-d Alignment");
  QCOMPARE(group->title(), QString("Bi-d Alignment :"));
  for (int id : {1259, 1260, 1262, 1263}) QCOMPARE(page.field(id)->parentWidget(), group);

  // The Station 1 settings are shown at once; the rest is empty or 0.
  QCOMPARE(page.text(1182), QString("0077"));
  QVERIFY(page.text(1255).startsWith("001"));
  QCOMPARE(page.text(1264), QString("AB1"));
  QCOMPARE(page.text(1266), QString("Z9"));
  for (int id : {1183, 1256, 1257, 1269, 1268, 1273}) QCOMPARE(page.text(id), QString());
  for (int id : {1270, 1272, 1274}) QCOMPARE(page.text(id), QString("0"));

  QCOMPARE(page.slotTexts(), (QStringList{"Grease", "Head ID"}));
  for (CResultButton* slot : page.resultSlots()) QCOMPARE(slot->state(), 0);
  QCOMPARE(page.label("total")->text(), QString("Testing"));
  QCOMPARE(page.label("total")->state(), 7);
  QCOMPARE(page.label("write-rom-fail")->text(), QString("Write ROM Fail"));
  QCOMPARE(page.label("write-rom-fail")->state(), 0);
  QCOMPARE(page.view.findChild<QLabel*>("Total Result")->text(), QString("Total Result"));
}

void OperationPageViewTest::startUpRestoresStationTwoFromItsFile() {
  SyncHost host;
  host.rig.SetUpStations();
  WriteStationIndex(host.rig, 1);
  Page page(host);
  QCOMPARE(page.selector()->currentIndex(), 1);
  QCOMPARE(page.steps()->count(), 27);
  QCOMPARE(page.steps()->item(0)->text(), QString(" 1. Inital Device"));
  QCOMPARE(page.steps()->item(20)->text(), QString(55, '-'));
  QCOMPARE(page.steps()->item(26)->text(), QString(" 9. Ink DisCharge"));
  QCOMPARE(page.slotTexts(), kStation2SlotTexts);
  // Station 2 does not load the Station 1 settings.
  QCOMPARE(page.text(1264), QString());
  QCOMPARE(page.label("total")->state(), 7);
}

void OperationPageViewTest::aStationFileOfFiveSelectsNothingAndBehavesAsStationTwo() {
  SyncHost host;
  host.rig.SetUpStations();
  WriteStationIndex(host.rig, 5);
  Page page(host);
  QCOMPARE(page.selector()->currentIndex(), -1);
  QCOMPARE(page.steps()->count(), 27);
  QCOMPARE(page.slotTexts(), kStation2SlotTexts);
  QCOMPARE(host.rig.files.ReadStationIndex(), 5);  // kept until a station is chosen
  // A step runs as at Station 2: a fresh printer has no head ID.
  page.doubleClick(0);
  QCOMPARE(host.rig.MessageTexts().back(), std::string("ERROR: Without Input Head ID !!"));
}

void OperationPageViewTest::choosingAStationRunsOnTheWorkerAndShowsItsList() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  const int before = host.operations;
  emit page.selector()->activated(1);
  QCOMPARE(host.operations, before + 1);
  QCOMPARE(host.rig.files.ReadStationIndex(), 1);
  QCOMPARE(page.steps()->count(), 27);
  QCOMPARE(page.slotTexts(), kStation2SlotTexts);
  // Back to Station 1: its settings again, its two slots.
  emit page.selector()->activated(0);
  QCOMPARE(page.steps()->count(), 2);
  QCOMPARE(page.text(1264), QString("AB1"));
  QCOMPARE(page.slotTexts(), (QStringList{"Grease", "Head ID"}));
  QCOMPARE(host.rig.files.ReadStationIndex(), 0);
}

void OperationPageViewTest::offLineDoubleClickChangesNothingButTheLinksMessage() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  host.rig.op.QueueDialogLine("pass");
  page.doubleClick(0);  // grease PASS while the printer is there
  QCOMPARE(page.label("slot:Grease")->state(), 2);
  const QStringList before = page.snapshot();
  const size_t messages = host.rig.op.messages().size();

  host.rig.printer.faults().absent = true;
  for (int row : {0, 1}) page.doubleClick(row);
  QCOMPARE(page.snapshot(), before);
  const auto shown = host.rig.MessageTexts();
  QCOMPARE(shown.size(), messages + 2);
  QCOMPARE(shown.back(), std::string("ERROR: Print Off line !!"));
  QVERIFY(host.rig.op.dialogs_shown().size() == 1);  // only the grease verdict ever asked
}

void OperationPageViewTest::slotsAndTotalFollowPassAndFail() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  host.rig.AnswerStation1();
  page.doubleClick(0);
  QCOMPARE(page.label("slot:Grease")->state(), 2);  // green
  QCOMPARE(page.label("slot:Head ID")->state(), 0);
  QCOMPARE(page.label("total")->text(), QString("Testing"));
  QCOMPARE(page.label("total")->state(), 7);
  page.doubleClick(1);
  QCOMPARE(page.label("slot:Head ID")->state(), 2);
  QCOMPARE(page.text(1257), QString("AB12CD"));
  QVERIFY(page.text(1256).startsWith("AB1Z9"));
  QCOMPARE(page.label("total")->text(), QString("PASS"));
  QCOMPARE(page.label("total")->state(), 6);

  // Grease again, FAIL this time: the station starts over and the total fails.
  host.rig.op.QueueDialogLine("fail");
  page.doubleClick(0);
  QCOMPARE(page.label("slot:Grease")->state(), 1);  // red
  QCOMPARE(page.label("slot:Head ID")->state(), 0);
  QCOMPARE(page.label("total")->text(), QString("FAIL"));
  QCOMPARE(page.label("total")->state(), 5);
  QCOMPARE(page.label("write-rom-fail")->state(), 0);

  // Station 2 on the printer that got its head ID: "1-1" passes CT, its nozzle check fails.
  emit page.selector()->activated(1);
  page.doubleClick(1);
  QCOMPARE(page.label("slot:CT")->state(), 2);
  QCOMPARE(page.text(1269), QString("07"));
  QCOMPARE(page.text(1183), QString("0073"));
  host.rig.AnswerNozzleCheck("fail");
  page.doubleClick(12);
  QCOMPARE(page.label("slot:Nozzle Check")->state(), 1);
  QCOMPARE(page.text(1274), QString("1"));  // one chart printed
  QCOMPARE(page.label("total")->text(), QString("FAIL"));
  // A separator only refreshes the counters and the total.
  const QStringList before = page.snapshot();
  page.doubleClick(20);
  QCOMPARE(page.snapshot(), before);
}

void OperationPageViewTest::failedHeadIdWriteTurnsWriteRomFailRed() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  host.rig.printer.faults().eeprom_sticks = false;
  host.rig.op.QueueDialogLine("enter AB12CD");
  page.doubleClick(1);
  QCOMPARE(page.label("slot:Head ID")->state(), 1);
  QCOMPARE(page.label("total")->text(), QString("FAIL"));
  QCOMPARE(page.label("total")->state(), 5);
  QCOMPARE(page.label("write-rom-fail")->state(), 1);
  QCOMPARE(host.rig.data.rom_write_failures, 1);
  // A new run of the station clears it.
  host.rig.op.QueueDialogLine("pass");
  host.rig.printer.faults().eeprom_sticks = true;
  page.doubleClick(0);
  QCOMPARE(page.label("write-rom-fail")->state(), 0);
}

void OperationPageViewTest::deviceControlsAreDisabledWhileAnOperationRuns() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  bool selector_enabled = true, list_enabled = true, fields_enabled = false;
  host.rig.op.QueueDialog([&](DialogModel&) {
    selector_enabled = page.selector()->isEnabled();
    list_enabled = page.steps()->isEnabled();
    fields_enabled = page.field(1182)->isEnabled() && page.view.isEnabled();
    return 1;  // PASS
  });
  page.doubleClick(0);
  QVERIFY(!selector_enabled);
  QVERIFY(!list_enabled);
  QVERIFY(fields_enabled);
  QVERIFY(page.selector()->isEnabled());
  QVERIFY(page.steps()->isEnabled());
  // A second operation is refused while one runs: the selector keeps what the page shows.
  host.busy_ = true;
  page.selector()->setCurrentIndex(1);
  emit page.selector()->activated(1);
  host.busy_ = false;
  QCOMPARE(page.selector()->currentIndex(), 0);
  QCOMPARE(host.rig.files.ReadStationIndex(), 0);
}

void OperationPageViewTest::losingTheFocusKeepsTheSelection() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  QVERIFY(QTest::qWaitForWindowExposed(&page.window));
  page.steps()->setFocus();
  page.steps()->setCurrentRow(1);
  page.selector()->setFocus();
  QApplication::processEvents();
  QCOMPARE(page.steps()->currentRow(), 1);
  QVERIFY(page.steps()->item(1)->isSelected());
}

void OperationPageViewTest::panelScalesWithTheWindowByOneFactor() {
  SyncHost host;
  host.rig.SetUpStations();
  WriteStationIndex(host.rig, 1);
  Page page(host);
  QCOMPARE(page.view.scale(), 1.0);
  QCOMPARE(page.label("slot:CT")->geometry(), QRect(150, 395, 70, 18));
  QCOMPARE(page.label("slot:Envelope")->geometry(), QRect(470, 395, 70, 18));
  QCOMPARE(page.label("total")->geometry(), QRect(QPoint(20, 415), QPoint(144, 456)));
  QCOMPARE(page.label("write-rom-fail")->geometry(), QRect(QPoint(550, 395), QPoint(643, 412)));

  // Twice as wide, one and a half times as high: the smaller factor, for everything.
  page.view.resize(OperationPageView::kDesignSize.width() * 2,
                   OperationPageView::kDesignSize.height() * 3 / 2);
  QCOMPARE(page.view.scale(), 1.5);
  QCOMPARE(page.label("slot:CT")->geometry(), QRect(225, 593, 105, 27));
  QCOMPARE(page.label("slot:DisCharge")->geometry(),
           OperationPageView::Scaled(QRect(310, 439, 70, 18), 1.5));
  QCOMPARE(page.label("total")->geometry(), QRect(30, 623, 188, 63));
  QCOMPARE(page.label("write-rom-fail")->geometry(), QRect(825, 593, 141, 27));
  for (CResultButton* b : page.view.findChildren<CResultButton*>()) QCOMPARE(b->textScale(), 1.5);
  QCOMPARE(page.view.findChild<QLabel*>("Total Result")->geometry(),
           OperationPageView::Scaled(QRect(20, 395, 125, 18), 1.5));
  QCOMPARE(page.steps()->geometry(), OperationPageView::Scaled(QRect(12, 40, 344, 342), 1.5));

  // No two labels of the panel overlap, and each stays inside the page.
  const auto labels = page.view.findChildren<CResultButton*>();
  for (CResultButton* a : labels) {
    QVERIFY(page.view.rect().contains(a->geometry()));
    for (CResultButton* b : labels) {
      if (a != b) QVERIFY2(!a->geometry().intersects(b->geometry()), qPrintable(a->text()));
    }
  }
  // Back to the design size: back to the design places.
  page.view.resize(OperationPageView::kDesignSize);
  QCOMPARE(page.view.scale(), 1.0);
  QCOMPARE(page.label("slot:CT")->geometry(), QRect(150, 395, 70, 18));
}

void OperationPageViewTest::largerFontScalesThePageAndItsMinimumSize() {
  SyncHost host;
  host.rig.SetUpStations();
  Page page(host);
  QVERIFY(page.view.minimumWidth() >= OperationPageView::kDesignSize.width());
  QFont font = page.view.font();
  font.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() * 2 : 24);
  page.view.setFont(font);
  const double factor =
      page.view.fontMetrics().height() / static_cast<double>(OperationPageView::kDesignFontHeight);
  QVERIFY(factor > 1.2);
  QCOMPARE(page.view.scale(), factor);
  QVERIFY(page.view.minimumWidth() >= OperationPageView::kDesignSize.width() * factor - 1);
  QVERIFY(page.view.minimumHeight() >= OperationPageView::kDesignSize.height() * factor - 1);
  QCOMPARE(page.label("slot:Grease")->geometry(),
           OperationPageView::Scaled(QRect(150, 395, 70, 18), factor));
  QCOMPARE(page.field(1182)->geometry(),
           OperationPageView::Scaled(QRect(458, 10, 190, 22), factor));
}

void OperationPageViewTest::everyLabelTextFitsItsPlace() {
  SyncHost host;
  host.rig.SetUpStations();
  WriteStationIndex(host.rig, 1);
  Page page(host);
  for (double scale : {1.0, 1.5}) {
    page.view.resize(OperationPageView::kDesignSize * scale);
    for (CResultButton* label : page.view.findChildren<CResultButton*>()) {
      for (int state : {label->state(), CResultButton::Large(label->state()) ? 6 : 2}) {
        const QFontMetrics metrics(CResultButton::TextFont(state, scale));
        QVERIFY(metrics.height() <= qRound(CResultButton::FontHeight(state) * scale));
        // Clear of the button's outer edge on either side.
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width() - 2,
                 qPrintable(label->text()));
      }
    }
  }
  // The largest text the total shows.
  const QFontMetrics large(CResultButton::TextFont(7));
  QVERIFY(large.horizontalAdvance("Testing") <= 125 - 4);
}

QTEST_MAIN(OperationPageViewTest)
#include "operation_page_view_test.moc"
