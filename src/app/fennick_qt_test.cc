// libfennick in a Qt host: without TARVO_OPERATOR its dialogs and messages come up as Qt windows
// on the host's GUI thread, in the library's words.
#include <dlfcn.h>

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

#include "fennick.h"

namespace {

struct Library {
  void* handle = nullptr;
  unsigned char (*HandleOpen)() = nullptr;
  int32_t (*HandleClose)() = nullptr;
  unsigned char (*SetHeadID)(unsigned char*) = nullptr;
};

// A fresh copy of the library, so that each case starts from a library just loaded.
Library Load(const QTemporaryDir& dir, const QString& printer_query = {}) {
  setenv("TARVO_PRINTER", qPrintable("sim:" + dir.filePath("printer.json") + printer_query), 1);
  setenv("TARVO_VIRTUAL_TIME", "1", 1);
  setenv("TARVO_CONFIG_DIR", qPrintable(dir.path()), 1);
  setenv("TARVO_TRANSCRIPT", qPrintable(dir.filePath("transcript")), 1);
  setenv("TARVO_GUI_PLUGIN", FENNICK_QT_PLUGIN, 1);
  unsetenv("TARVO_OPERATOR");
  const QString copy = dir.filePath("libfennick-under-test.so");
  QFile::copy(FENNICK_LIBRARY, copy);
  Library lib;
  lib.handle = dlopen(qPrintable(copy), RTLD_NOW | RTLD_LOCAL);
  if (!lib.handle) qFatal("dlopen: %s", dlerror());
  auto look_up = [&](auto& fn, const char* name) {
    void* address = dlsym(lib.handle, name);
    std::memcpy(&fn, &address, sizeof address);
  };
  look_up(lib.HandleOpen, "HandleOpen");
  look_up(lib.HandleClose, "HandleClose");
  look_up(lib.SetHeadID, "SetHeadID");
  return lib;
}

QStringList Lines(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// Answers every modal window that comes up while it lives: message boxes with their default
// button, the head ID dialog with `head_id`.
class Answerer : public QObject {
 public:
  explicit Answerer(QString head_id) : head_id_(std::move(head_id)) {
    timer_.callOnTimeout(this, &Answerer::Look);
    timer_.start(5);
  }
  QStringList seen;

 private:
  void Look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen << box->windowTitle() + ": " + box->text();
      box->defaultButton()->click();
    } else if (modal->objectName() == "dialog:179") {
      seen << "dialog " + modal->windowTitle();
      modal->findChild<QLineEdit*>("1185")->setText(head_id_);
      modal->findChild<QPushButton*>("1")->click();
    }
  }
  QString head_id_;
  QTimer timer_;
};

}  // namespace

class FennickQtTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogsOfTheExportsComeUpOnTheHostsGuiThread();
  void messagesAreInTheLibrarysWords();
};

void FennickQtTest::dialogsOfTheExportsComeUpOnTheHostsGuiThread() {
  QTemporaryDir dir;
  Library lib = Load(dir);
  Answerer answers("ab12cd");
  QCOMPARE(lib.HandleOpen(), 1);
  unsigned char block[41] = {};
  QCOMPARE(lib.SetHeadID(block), 1);
  QCOMPARE(QByteArray(reinterpret_cast<char*>(block) + 0x15, 6), QByteArray("AB12CD"));
  QVERIFY(answers.seen.contains("dialog Input Head ID"));
  lib.HandleClose();
  const QStringList transcript = Lines(dir.filePath("transcript"));
  QVERIFY(transcript.contains("dialog 179 Input Head ID"));
  QVERIFY(transcript.contains("< set Head ID=ab12cd"));
  QVERIFY(transcript.contains("closed OK"));
  dlclose(lib.handle);
}

void FennickQtTest::messagesAreInTheLibrarysWords() {
  QTemporaryDir dir;
  Library lib = Load(dir, "?absent=1");
  Answerer answers("");
  QCOMPARE(lib.HandleOpen(), 0);
  QVERIFY2(answers.seen.contains(QString::fromUtf8("ERROR: 印表機離線!!")),
           qPrintable(answers.seen.join(" | ")));
  dlclose(lib.handle);
}

QTEST_MAIN(FennickQtTest)
#include "fennick_qt_test.moc"
