#include "pages/setting_page_view.h"

#include <QPushButton>
#include <QtTest>

#include "operations/printer_options.h"
#include "pages/page_host_test_rig.h"

using namespace tarvo;
using namespace tarvo::pages;

class SettingPageViewTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheFourButtons();
  void offsetEditorStoresOnApplyOnly();
  void inkEditorRefusesOutOfRangeAndStoresOnOkOnly();
  void stationButtonsWriteTheSettingsFiles();
};

void SettingPageViewTest::showsTheFourButtons() {
  TestPageHost host;
  SettingPageView view(host, host.files);
  const std::pair<int, QString> kButtons[] = {{1273, "Station 1"},
                                              {1274, "Station 2"},
                                              {1275, "Set Initial Bi-d Value"},
                                              {1305, "Set Ink Syetem Init Value"}};
  for (const auto& [id, text] : kButtons) {
    auto* button = view.findChild<QPushButton*>(QString::number(id));
    QVERIFY(button);
    QCOMPARE(button->text(), text);
    QCOMPARE(view.button(id), button);
  }
  view.SetDeviceBusy(true);
  QVERIFY(!view.button(1305)->isEnabled());
  view.SetDeviceBusy(false);
  QVERIFY(view.button(1305)->isEnabled());
}

void SettingPageViewTest::offsetEditorStoresOnApplyOnly() {
  TestPageHost host;
  SettingPageView view(host, host.files);
  auto& op = host.rig.op;
  auto& store = host.rig.settings;
  op.QueueDialog([](DialogModel& d) {
    d.control(1259)->text = "9";
    return DialogModel::kCancelId;  // "EXIT"
  });
  view.button(1275)->click();
  QCOMPARE(host.runs, 1);
  QVERIFY(store.values().empty());
  op.QueueDialogLine("fields Initial Offset=On MS1=-3 ECN=7");
  view.button(1275)->click();
  QCOMPARE(op.dialogs_shown(), (std::vector<int>{211, 211}));
  const OffsetSettings stored = ReadOffsetSettings(store);
  QCOMPARE(stored.ms1, -3);
  QCOMPARE(stored.ecn, 7);
  QCOMPARE(stored.disable, 0);
  QVERIFY(store.ReadInt32(kSelectPrinterKey, "TOF").has_value());  // the whole group
  QVERIFY(!store.Read(kSelectPrinterKey, "tclCond").has_value());
  QVERIFY(op.messages().empty());
}

void SettingPageViewTest::inkEditorRefusesOutOfRangeAndStoresOnOkOnly() {
  TestPageHost host;
  SettingPageView view(host, host.files);
  auto& op = host.rig.op;
  auto& store = host.rig.settings;
  op.QueueDialogLine("fields tclCondition=300");
  op.QueueDialogLine("cancel");
  view.button(1305)->click();
  QCOMPARE(op.refusals().size(), size_t{1});
  QCOMPARE(op.refusals()[0].text, std::string("Please enter an integer between 0 and 255."));
  QVERIFY(store.values().empty());
  op.QueueDialogLine("fields tclCondition=250 Ink System Init=Off");
  view.button(1305)->click();
  QCOMPARE(ReadInkSettings(store),
           (InkSettings{.disable_ink = 1, .cl2kk = 2, .tcl_cond = 250, .unplug_a = 24}));
}

void SettingPageViewTest::stationButtonsWriteTheSettingsFiles() {
  TestPageHost host;
  SettingPageView view(host, host.files);
  host.rig.op.QueueDialogLine("fields Belt Name=ab1 PC Name=z9");
  view.button(1273)->click();
  const auto one = host.files.ReadStation1();
  QCOMPARE(std::string(one.begin() + 1, one.end()), std::string("AB1Z9"));
  host.rig.op.QueueDialogLine("cancel");
  view.button(1274)->click();
  QCOMPARE(host.rig.op.dialogs_shown(), (std::vector<int>{185, 186}));
  QCOMPARE(host.files.ReadStation2()[1], uint8_t{0});
}

QTEST_MAIN(SettingPageViewTest)
#include "setting_page_view_test.moc"
