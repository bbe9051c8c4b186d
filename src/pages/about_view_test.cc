#include "pages/about_view.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace tarvo;
using namespace tarvo::pages;

class AboutViewTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheVersionTheNoticeAndTheSixLinesInOrder();
  void okAndEscClose();
};

void AboutViewTest::showsTheVersionTheNoticeAndTheSixLinesInOrder() {
  station::SystemFacts facts;
  facts.os_name = "Debian GNU/Linux 12 (bookworm)";
  facts.computer_name = "line-3";
  const station::AboutBox box = station::BuildAboutBox(station::PrinterIdRecord{}, facts);
  QPixmap picture(16, 16);
  picture.fill(Qt::red);
  AboutView view(box, QIcon(picture));
  QCOMPARE(view.windowTitle(), QString("About Tarvo"));
  QStringList texts;
  for (QLabel* label : view.findChildren<QLabel*>()) texts << label->text();
  QVERIFY(texts.contains("FT Version 0.0.7.5"));
  QVERIFY(texts.contains(QString::fromUtf8(station::AboutBox::kNotice.data())));
  QVERIFY(!view.findChild<QLabel*>("icon")->pixmap().isNull());
  const QStringList expected = {"Printer Name: ",
                                "Firmware Version: .",
                                QString::fromUtf8("Firmware Issue Date: ..\xC3\xBF:"),
                                "User Name: ",
                                "OS Version: Debian GNU/Linux 12 (bookworm)",
                                "Computer Name: line-3"};
  view.show();
  int last_y = -1;
  for (int i = 0; i < 6; ++i) {
    auto* line = view.findChild<QLabel*>(QString::number(AboutView::kLineIds[i]));
    QVERIFY(line);
    QCOMPARE(line->text(), expected[i]);
    QVERIFY(line->y() > last_y);  // top to bottom in the order of the table
    last_y = line->y();
  }
  QCOMPARE(view.findChild<QPushButton*>("1")->text(), QString("OK"));
}

void AboutViewTest::okAndEscClose() {
  AboutView view(station::AboutBox{}, QIcon());
  view.show();
  view.findChild<QPushButton*>("1")->click();
  QVERIFY(!view.isVisible());
  QCOMPARE(view.result(), int(QDialog::Accepted));
  view.show();
  QTest::keyClick(&view, Qt::Key_Escape);
  QVERIFY(!view.isVisible());
}

QTEST_MAIN(AboutViewTest)
#include "about_view_test.moc"
