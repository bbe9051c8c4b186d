#include "app/startup.h"

#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>
#include <sstream>
#include <vector>

#include "app/modal_answer_test.h"

using namespace tarvo::app;

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void helpAndVersionAreFoundBeforeTheWindowSystem();
  void onlyPlatformsAPersonSeesGetTheBox();
  void startupErrorGoesToStandardErrorAndIntoABox();
  void theProgramAnswersHelpAndVersionWithoutADisplay();
  void theProgramEndsWithStatus2OnAnUnusablePrinter();
};

namespace {

bool Asks(std::vector<const char*> args) {
  args.insert(args.begin(), "Tarvo");
  return AsksForHelpOrVersion(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

// The program as a desktop session without any display would start it.
QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  return env;
}

}  // namespace

void StartupTest::helpAndVersionAreFoundBeforeTheWindowSystem() {
  QVERIFY(Asks({"--help"}));
  QVERIFY(Asks({"--printer", "sim", "-h"}));
  QVERIFY(Asks({"--version"}));
  QVERIFY(!Asks({}));
  QVERIFY(!Asks({"--printer", "sim"}));
  QVERIFY(!Asks({"--", "--help"}));  // an argument, not an option
}

void StartupTest::onlyPlatformsAPersonSeesGetTheBox() {
  QVERIFY(PersonSeesWindows("xcb"));
  QVERIFY(PersonSeesWindows("wayland"));
  QVERIFY(!PersonSeesWindows("offscreen"));
  QVERIFY(!PersonSeesWindows("minimal"));
}

void StartupTest::startupErrorGoesToStandardErrorAndIntoABox() {
  const std::string problem = "--station-dir: /no/such/folder is not a folder";
  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  tarvo::testing::WhenModal<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    caption = box->windowTitle();
    icon = box->icon();
    box->accept();
  });
  std::ostringstream err;
  TellStartupError(problem, err, true);
  QVERIFY(err.str() == "Tarvo: " + problem + "\n");
  QCOMPARE(text, QString::fromStdString(problem));
  QCOMPARE(caption, QString("Tarvo"));
  QCOMPARE(icon, QMessageBox::Critical);

  std::ostringstream quiet;
  TellStartupError(problem, quiet, false);  // no box: nothing to answer, returns at once
  QVERIFY(quiet.str() == "Tarvo: " + problem + "\n");
}

void StartupTest::theProgramAnswersHelpAndVersionWithoutADisplay() {
  for (const char* option : {"--help", "--version"}) {
    QProcess tarvo;
    tarvo.setProcessEnvironment(WithoutDisplay());
    tarvo.start(TARVO_PROGRAM, {option});
    QVERIFY(tarvo.waitForFinished(30'000));
    QCOMPARE(tarvo.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tarvo.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(tarvo.readAllStandardOutput());
    QVERIFY2(out.contains(option == std::string("--help") ? "--station-dir" : "Tarvo "),
             qPrintable(out));
  }
}

void StartupTest::theProgramEndsWithStatus2OnAnUnusablePrinter() {
  // Offscreen: nobody could answer a box, so there is none and the program ends at once.
  QProcess tarvo;
  tarvo.start(TARVO_PROGRAM, {"--printer", "sim?bogus=1"});
  QVERIFY(tarvo.waitForFinished(30'000));
  QCOMPARE(tarvo.exitCode(), 2);
  const QString err = QString::fromLocal8Bit(tarvo.readAllStandardError());
  QVERIFY2(err.contains("Tarvo: --printer: unknown key \"bogus\""), qPrintable(err));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
