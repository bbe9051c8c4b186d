// Renders every dialog, message box and wait window of both editions, the main window and the
// result button states to PNG files, for review:  tarvo_screenshots OUTPUT_DIR
// Runs on any Qt platform; the `screenshots` target runs it offscreen. Window captions are drawn
// in a strip above each picture, since offscreen windows have no frame.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include "app/answering_person_test.h"
#include "app/app_icon.h"
#include "app/app_runtime.h"
#include "app/dialog_view.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_operator.h"
#include "app/wait_window_view.h"
#include "base/hex.h"
#include "base/wait_windows.h"
#include "dialogs/charge_dialog.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/pass_fail_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "dialogs/printer_option_dialogs.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "model/rom_layout.h"
#include "pages/about_view.h"
#include "pages/operation_page_view.h"
#include "pages/page_sheet.h"
#include "pages/result_button.h"
#include "station/about_box.h"

using namespace tarvo;
using namespace tarvo::app;
using tarvo::pages::CResultButton;

namespace {

int g_written = 0;
QDir g_out;

void Save(QWidget* window, const QString& name, bool fit = true) {
  window->show();
  if (fit) window->adjustSize();
  QApplication::processEvents();
  const QPixmap body = window->grab();
  const int strip = 26;
  QImage image(body.width(), body.height() + strip, QImage::Format_ARGB32);
  image.fill(QColor(70, 90, 130));
  QPainter p(&image);
  p.setPen(Qt::white);
  QFont font = QApplication::font();
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(8, 0, body.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
             window->windowTitle());
  p.drawPixmap(0, strip, body);
  p.end();
  const QString path = g_out.filePath(name + ".png");
  if (!image.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  ++g_written;
  window->hide();
}

void SaveDialog(DialogModel& model, const QString& name) {
  DialogView view(model);
  Save(&view, name);
}

void Dialogs(const Edition& edition, const QString& prefix) {
  InputIdDialog head(InputIdDialog::Kind::kHeadId);
  head.text = "AB12CD";
  SaveDialog(head, prefix + "179-input-head-id");
  InputIdDialog machine_no(InputIdDialog::Kind::kMachineNo);
  SaveDialog(machine_no, prefix + "188-input-machine-no");
  InputIdDialog machine_id(InputIdDialog::Kind::kMachineId);
  SaveDialog(machine_id, prefix + "204-input-machine-id");
  ValueEntryDialog value;
  value.caption_text = "MS1";
  SaveDialog(value, prefix + "189-value-entry-ms1");
  TofAdjustDialog tof;
  tof.value = 75;
  SaveDialog(tof, prefix + "173-tof-adjustment");
  ChargeDialog charge;
  SaveDialog(charge, prefix + "194-charge");
  FwVersionDialog fw;
  fw.text = "1C71";
  SaveDialog(fw, prefix + "195-fw-version");
  MotorMoveDialog motor_move;
  SaveDialog(motor_move, prefix + "147-motor-move");
  MotorDialog motor;
  SaveDialog(motor, prefix + "208-motor");
  PowerOffDialog power_off;
  SaveDialog(power_off, prefix + "209-power-off");
  PassFailDialog pass_fail;
  pass_fail.caption_text = "Nozzle Check";
  SaveDialog(pass_fail, prefix + "203-pass-fail");
  const char* kinds[] = {"205-g0s-a4", "206-sf-letter", "206-photo", "207-post-card",
                         "206-envelope"};
  for (int kind = 0; kind < 5; ++kind) {
    InspectionDialog inspection(kind);
    SaveDialog(inspection, prefix + kinds[kind]);
  }
  DisMessageDialog dis(edition);
  SaveDialog(dis, prefix + "200-dis-message");
  EepromDataDialog eeprom(edition);
  std::array<uint8_t, kRomImageSize> image{};
  eeprom.LoadFrom(image);
  SaveDialog(eeprom, prefix + "197-eeprom-data");
}

void WaitWindows(const Edition& edition, const QString& prefix) {
  const std::pair<WaitWindow, const char*> windows[] = {
      {ConnectWindow(edition), "196-connect"},
      {PrinterBusyWindow(edition), "190-printer-busy"},
      {InkDisChargeWindow(edition), "191-ink-discharge"}};
  for (const auto& [window, name] : windows) {
    WaitWindowView plain(window);
    Save(&plain, prefix + name);
    WaitWindowView counting(window);
    counting.StartWait(10'000);
    counting.ShowElapsed(3'500);
    Save(&counting, prefix + name + "-counting");
  }
  WaitWindowView transfer(SendingFileWindow(edition));
  transfer.Progress(4'200'000, 10'000'000);
  Save(&transfer, prefix + "transfer-progress");
  WaitWindowView busy(PrinterBusyWindow(edition));
  busy.Progress(700, 1000);
  Save(&busy, prefix + "190-printer-busy-sending");
}

// The connect window over its ten retries, at the third and at the eighth: one count and one bar
// over the whole connect.
void ConnectMoments(const Edition& edition, const QString& prefix) {
  for (int retry : {3, 8}) {
    WaitWindowView view(ConnectWindow(edition, 10));
    for (int i = 1; i < retry; ++i) {
      view.StartWait(1000);
      view.EndWait();
    }
    view.StartWait(1000);
    view.ShowElapsed(400);
    Save(&view, prefix + QString("196-connect-retry-%1").arg(retry));
  }
}

void Messages(const Edition& edition, const QString& prefix) {
  const std::pair<Message, const char*> boxes[] = {
      {{std::string(edition.Text({"Print Off line !!", "印表機離線!!"})), "ERROR", Icon::kError,
        Buttons::kOk},
       "message-error"},
      {{"Head ID Error !!", "Error", Icon::kError, Buttons::kOk}, "message-refused-head-id"},
      {{std::string(edition.Text({"Open File Error !! I_NC_1.prn!!", "開檔失敗!! I_NC_1.prn!!"})),
        "Open File", Icon::kError, Buttons::kOk},
       "message-open-file"},
      {{"Completed !!", "Charge", Icon::kInformation, Buttons::kOk}, "message-information"},
      {{"Do you want to exit !?", "EXIT", Icon::kInformation, Buttons::kYesNo},
       "message-exit-question"},
  };
  for (const auto& [message, name] : boxes) {
    auto box = MakeMessageBox(message);
    box->setWindowModality(Qt::NonModal);
    Save(box.get(), prefix + name);
  }
}

void ResultButtons() {
  QWidget strip;
  strip.setWindowTitle("CResultButton states 0-7");
  auto* layout = new QHBoxLayout(&strip);
  const char* texts[] = {"1-1", "1-2", "2-1", "2-2", "Ready", "FAIL", "PASS", "Testing"};
  for (int state = 0; state < 8; ++state) {
    auto* button = new CResultButton(texts[state], &strip);
    button->setState(state);
    button->setMinimumSize(state < 4 ? 70 : 130, 56);
    layout->addWidget(button);
  }
  Save(&strip, "result-button-states");
}

// The editors of the settings page and the dot weight measurement.
void PageDialogs() {
  SetInitOffsetDialog offsets;
  offsets.ms1 = -3;
  offsets.tof = 4;
  SaveDialog(offsets, "program-211-set-init-offset");
  SetInitOffsetDialog offsets_off;
  offsets_off.disable = 1;
  SaveDialog(offsets_off, "program-211-set-init-offset-off");
  InkSystemInitDialog ink;
  SaveDialog(ink, "program-214-ink-system-init");
  MeasureResultDialog measure("Mono Measure", "KDot.prn", 33'708'960);
  SaveDialog(measure, "program-202-measure-result");
  Station1Dialog station1;
  station1.current_destination = 2;
  station1.current_belt = "B07";
  station1.current_pc = "P3";
  station1.PresetFromCurrent();
  SaveDialog(station1, "program-185-station1");
  Station2Dialog station2;
  station2.current_destination = 2;
  station2.current_value = "07";
  station2.PresetFromCurrent();
  SaveDialog(station2, "program-186-station2");
  Station2Dialog station2_ic;
  station2_ic.current_value = "CT";
  station2_ic.PresetFromCurrent();
  SaveDialog(station2_ic, "program-186-station2-ic");
}

void About() {
  const station::AboutBox box =
      station::BuildAboutBox(station::PrinterIdRecord{}, station::ReadSystemFacts());
  pages::AboutView view(box, AppIcon());
  Save(&view, "program-100-about");
}

// Runs the operations the window started until the worker is idle again.
void WaitIdle(MainWindow& window) {
  while (window.busy()) QApplication::processEvents(QEventLoop::AllEvents, 10);
  QApplication::processEvents();
}

// A printer that went through both stations: its state file in `dir`.
std::string PreparedPrinter(const QDir& dir) {
  std::array<uint8_t, kRomImageSize> e{};
  std::memcpy(&e[kModelNameOffset], "001", 3);
  std::memcpy(&e[kUsbSerialNoOffset], "AB1Z90412011230456", 18);
  std::memcpy(&e[kHeadIdOffset], "AB12CD", 6);
  std::memcpy(&e[kFwVersionOffset], "1C71", 4);
  e[kMs1AdjustOffset] = 0xFD;  // -3
  e[kMs2AdjustOffset] = 2;
  e[kTofAdjustOffset] = 4;
  e[kModelNumberOffset] = 1;
  e[kFtFlagOffset] = 1;
  const std::string path = dir.filePath("printer.json").toStdString();
  std::ofstream(path) << "{\"eeprom\": \"" << ToHex(e) << "\"}\n";
  return "sim:" + path;
}

// Serves the window's events until `done` holds, for at most a minute; false when it never did.
bool ServeUntil(const std::function<bool()>& done) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > 60'000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// The program's ports on the simulated printer of `options`, settings in memory; nothing, with
// the reason on standard error, when they cannot be made.
std::unique_ptr<AppRuntime> SimRuntime(const AppOptions& options) {
  std::string error, notes;
  auto runtime = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  if (!runtime) std::fprintf(stderr, "no runtime: %s\n", error.c_str());
  return runtime;
}

// The four pages of this window's sheet after start-up, and the ROM data viewer after " 1. Read
// ROM Data" in "Product Line" of a printer with a head ID.
void Pages() {
  QTemporaryDir dir;
  AppOptions options;
  options.printer = PreparedPrinter(QDir(dir.path()));
  options.virtual_time = true;
  options.station_dir = dir.path().toStdString();
  auto runtime = SimRuntime(options);
  if (!runtime) return;
  MainWindow window(*runtime);
  window.show();
  // The Operation page reads its station at start-up on the device worker; the pages' device
  // controls are disabled until it is done.
  auto* operation = qobject_cast<pages::OperationPageView*>(window.page(0));
  if (!ServeUntil([&] { return operation->initialised() && !window.busy(); })) return;
  const char* names[] = {"", "page-setting", "page-rd-setting", "page-dot-weight",
                         "page-show-rom-data"};
  for (int i = 1; i < MainWindow::kPageCount; ++i) {
    window.sheet()->setCurrentIndex(i);
    Save(&window, names[i], false);
  }
  QWidget* viewer = window.page(4);
  viewer->findChild<QComboBox*>("1271")->setCurrentIndex(2);
  auto* list = viewer->findChild<QListWidget*>("1267");
  list->setCurrentRow(0);
  emit list->itemDoubleClicked(list->item(0));
  WaitIdle(window);
  window.sheet()->setCurrentIndex(4);
  Save(&window, "page-show-rom-data-read", false);
}

// The Operation page after start-up, and the main window after a fresh printer went through
// Station 1 and the whole of Station 2, every window answered through its widgets.
void OperationPages() {
  testing::StationRunFolder station;
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station.path();
  auto runtime = SimRuntime(options);
  if (!runtime) return;
  MainWindow window(*runtime);
  window.show();
  auto* page = qobject_cast<pages::OperationPageView*>(window.page(0));
  if (!ServeUntil([&] { return page->initialised() && !window.busy(); })) return;
  Save(&window, "page-operation", false);

  // Station 2 at the window's default size: every step shows.
  auto* selector = page->findChild<QComboBox*>("1271");
  auto* steps = page->findChild<QListWidget*>("1267");
  testing::ChooseWithKeys(selector, 1);
  ServeUntil([&] { return !window.busy() && steps->count() > 2; });
  Save(&window, "page-operation-station2-default-size", false);

  // The grease of Station 1 as it runs: the controls greyed, the status line counting its 12 s
  // down.
  testing::ChooseWithKeys(selector, 0);
  ServeUntil([&] { return !window.busy(); });
  steps->setCurrentRow(0);
  window.pages().SetDeviceBusy(true);
  runtime->wait_status().Begins("Greasing", 12'000);
  ServeUntil([&] { return window.status_line()->text() == "Greasing: 9 s"; });
  Save(&window, "main-window-greasing-countdown", false);
  runtime->wait_status().Ends();
  window.pages().SetDeviceBusy(false);

  window.show();
  testing::AnsweringPerson person;
  for (const testing::StationStep& step : testing::FreshPrinterRun()) {
    if (step.station >= 0) {
      testing::ChooseWithKeys(selector, step.station);
      ServeUntil([&] { return !window.busy(); });
    }
    for (const auto& [name, answer] : step.windows) person.Expect(name, answer);
    testing::DoubleClickRow(steps, step.row);
    if (!ServeUntil([&] { return person.done() && !window.busy(); }) ||
        !person.problems().isEmpty()) {
      std::fprintf(stderr, "the station run went astray: %s\n",
                   qPrintable(person.problems().join("; ")));
      return;
    }
  }
  Save(&window, "page-operation-station2-finished", false);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tarvo_screenshots OUTPUT_DIR\n");
    return 2;
  }
  g_out = QDir(argv[1]);
  if (!g_out.mkpath(".")) return 1;

  Dialogs(kProgramEdition, "program-");
  Dialogs(kLibraryEdition, "library-");
  WaitWindows(kProgramEdition, "program-");
  WaitWindows(kLibraryEdition, "library-");
  ConnectMoments(kProgramEdition, "program-");
  ConnectMoments(kLibraryEdition, "library-");
  Messages(kProgramEdition, "program-");
  Messages(kLibraryEdition, "library-");
  ResultButtons();
  PageDialogs();
  About();

  testing::StationRunFolder station;
  AppOptions options;
  options.printer = "sim";
  options.virtual_time = true;
  options.station_dir = station.path();
  std::string error, notes;
  auto runtime = AppRuntime::Make(options, std::make_unique<MemorySettingsStore>(), &error, &notes);
  if (!runtime) return 1;
  MainWindow window(*runtime);
  window.show();
  QApplication::processEvents();
  Save(&window, "main-window", false);
  Pages();
  OperationPages();

  std::printf("%d pictures in %s\n", g_written, qPrintable(g_out.absolutePath()));
  return 0;
}
