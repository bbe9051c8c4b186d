#include "app/app_runtime.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "app/modal_answer_test.h"
#include "model/step_recording.h"
#include "records/local_store.h"

using namespace tarvo;
using namespace tarvo::app;

class AppRuntimeTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    data_ = std::make_unique<QTemporaryDir>();  // a records file of each test's own
    ::setenv("TARVO_DATA_DIR", data_->path().toUtf8().constData(), 1);
    ::unsetenv("TARVO_RECORDS_URL");
  }
  void cleanup() {
    ::unsetenv("TARVO_DATA_DIR");
    ::unsetenv("TARVO_RECORDS_URL");
  }
  void recordsGoToTheMachinesRecordsFile();
  void unreachableLineDatabaseIsToldOnceWithoutItsPassword();

 private:
  std::unique_ptr<AppRuntime> SimRuntime() {
    AppOptions options;
    options.printer = "sim";
    options.virtual_time = true;
    options.station_dir = station_.path().toStdString();
    std::string error, notes;
    auto rt = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
    if (!rt) qFatal("runtime: %s", error.c_str());
    return rt;
  }
  void Measure(AppRuntime& rt) {
    const double weights[] = {25, 23.5};
    RecordDotWeight(rt.ctx(), "Mono", weights, 44.5, 40.7, 52.9, true);
  }

  std::unique_ptr<QTemporaryDir> data_;
  QTemporaryDir station_;
};

void AppRuntimeTest::recordsGoToTheMachinesRecordsFile() {
  auto rt = SimRuntime();
  QCOMPARE(rt->ctx().records, static_cast<RecordSink*>(&rt->records()));
  Measure(*rt);
  Measure(*rt);
  records::LocalStore store;
  QVERIFY(store.Open(data_->filePath("records.sqlite").toStdString()));
  const auto kept = store.DotWeights();
  QCOMPARE(kept.size(), size_t(2));
  QCOMPARE(kept[0].origin.edition, std::string("program"));
  QCOMPARE(kept[1].record.kind, std::string("Mono"));
}

void AppRuntimeTest::unreachableLineDatabaseIsToldOnceWithoutItsPassword() {
  // A server socket in a folder that does not exist: refused at once.
  ::setenv("TARVO_RECORDS_URL",
           "postgresql://line:s3cret@/tarvo?host=/no/such/socket/folder&connect_timeout=1", 1);
  auto rt = SimRuntime();
  QVERIFY(rt->records().has_line());
  int boxes = 0;
  QString text;
  auto answer = [&](QMessageBox* box) {
    ++boxes;
    text = box->text();
    box->accept();
  };
  testing::WhenModal<QMessageBox>(answer, 2000);
  Measure(*rt);
  // The sender tells what it found on the device thread: with the next record, or here.
  rt->records().WaitForSender();
  QCOMPARE(boxes, 1);
  QVERIFY2(text.contains("the line database cannot be reached"), qPrintable(text));
  QVERIFY(!text.contains("s3cret"));
  QVERIFY(!text.contains("line:"));

  // The next step goes on without a word; both wait in the file.
  testing::WhenModal<QMessageBox>(answer, 200);
  Measure(*rt);
  QCOMPARE(boxes, 1);
  QCOMPARE(rt->records().Local()->UnsentCount(), int64_t(2));
}

QTEST_MAIN(AppRuntimeTest)
#include "app_runtime_test.moc"
