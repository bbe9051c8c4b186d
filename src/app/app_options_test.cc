#include "app/app_options.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

#include "app/app_runtime.h"

using namespace tarvo;
using namespace tarvo::app;

namespace {

std::optional<AppOptions> Parse(std::vector<std::string> words, int* status, std::string* out) {
  std::vector<char*> argv;
  static char name[] = "Tarvo";
  argv.push_back(name);
  for (auto& w : words) argv.push_back(w.data());
  std::ostringstream o, e;
  auto options = ParseAppOptions(int(argv.size()), argv.data(), o, e, status);
  *out = o.str() + e.str();
  return options;
}

}  // namespace

class AppOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void everySharedOptionIsTaken();
  void helpVersionAndMistakesEndAtOnce();
  void runtimeRefusesVirtualTimeWithARealPrinterAndAMissingStationFolder();
};

void AppOptionsTest::everySharedOptionIsTaken() {
  int status = -1;
  std::string out;
  auto options = Parse({"--printer", "sim:/tmp/p.json", "--virtual-time", "--wire-log", "w.log",
                        "--transcript", "t.log", "--station-dir", "/tmp"},
                       &status, &out);
  QVERIFY(options.has_value());
  QCOMPARE(status, 0);
  QCOMPARE(options->printer, std::string("sim:/tmp/p.json"));
  QVERIFY(options->virtual_time);
  QCOMPARE(options->wire_log, std::string("w.log"));
  QCOMPARE(options->transcript, std::string("t.log"));
  QCOMPARE(options->station_dir, std::string("/tmp"));
  auto defaults = Parse({}, &status, &out);
  QCOMPARE(defaults->printer, std::string("usb"));
  QVERIFY(!defaults->virtual_time);
}

void AppOptionsTest::helpVersionAndMistakesEndAtOnce() {
  int status = -1;
  std::string out;
  QVERIFY(!Parse({"--version"}, &status, &out));
  QCOMPARE(status, 0);
  QVERIFY(out.starts_with("Tarvo "));
  QVERIFY(!Parse({"--help"}, &status, &out));
  QCOMPARE(status, 0);
  QVERIFY(out.find("--station-dir") != std::string::npos);
  for (const char* variable :
       {"TARVO_PRINTER", "TARVO_VIRTUAL_TIME", "TARVO_WIRE_LOG", "TARVO_TRANSCRIPT",
        "TARVO_STATION_DIR", "TARVO_CONFIG_DIR", "TARVO_DATA_DIR", "TARVO_RECORDS_URL"}) {
    QVERIFY2(out.find(variable) != std::string::npos, variable);
  }
  QVERIFY(!Parse({"--edition", "library"}, &status, &out));  // always the program's
  QCOMPARE(status, 2);
}

void AppOptionsTest::runtimeRefusesVirtualTimeWithARealPrinterAndAMissingStationFolder() {
  std::string error, notes;
  AppOptions real;
  real.printer = "usb";
  real.virtual_time = true;
  QVERIFY(!AppRuntime::Make(real, std::make_unique<MemorySettingsStore>(), &error, &notes));
  QVERIFY(error.find("--virtual-time") != std::string::npos);

  AppOptions missing;
  missing.printer = "sim";
  missing.station_dir = "/no/such/folder";
  error.clear();
  QVERIFY(!AppRuntime::Make(missing, std::make_unique<MemorySettingsStore>(), &error, &notes));
  QVERIFY(error.find("--station-dir") != std::string::npos);

  QTemporaryDir dir;
  AppOptions good;
  good.printer = "sim";
  good.virtual_time = true;
  good.station_dir = dir.path().toStdString();
  auto rt = AppRuntime::Make(good, std::make_unique<MemorySettingsStore>(), &error, &notes);
  QVERIFY(rt);
  QCOMPARE(QString::fromStdString(rt->ctx().station_dir.string()), dir.path());
  QCOMPARE(rt->ctx().stop, &rt->stop());
  QVERIFY(rt->ctx().edition.is_program());
}

QTEST_MAIN(AppOptionsTest)
#include "app_options_test.moc"
