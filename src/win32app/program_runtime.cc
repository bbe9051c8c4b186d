#include "win32app/program_runtime.h"

#include <cctype>
#include <cstdint>
#include <iostream>

#include "base/edition.h"
#include "win32ui/win32_operator.h"

namespace tarvo::win32app {

std::unique_ptr<ProgramRuntime> ProgramRuntime::Make(const ProgramOptions& options,
                                                     std::unique_ptr<SettingsStore> settings,
                                                     std::string* error, std::string* notes) {
  std::unique_ptr<ProgramRuntime> rt(new ProgramRuntime);
  rt->gui_ = std::make_unique<GuiThread>();
  runtime::Options ports;
  ports.printer = options.printer;
  ports.edition = &kProgramEdition;
  ports.virtual_time = options.virtual_time;
  ports.transcript = options.transcript;
  ports.wire_log = options.wire_log;
  ports.station_dir = options.station_dir;
  ports.settings = std::move(settings);
  rt->waits_ = std::make_unique<WaitStatusLine>();
  ports.waits = rt->waits_.get();
  GuiThread* gui = rt->gui_.get();
  // The questions end with OperationStopped once the window asks the operation to stop.
  ports.make_operator = [gui, op = &rt->op_](LineSink& transcript, StopRequest& stop,
                                             std::string*) {
    auto windows = std::make_unique<win32ui::Win32Operator>(kProgramEdition, transcript);
    windows->set_stop(&stop);
    auto made = std::make_unique<GuiOperator>(*gui, std::move(windows));
    *op = made.get();
    return std::unique_ptr<Operator>(std::move(made));
  };
  // What the settings store has to say goes to standard error and to the person, in a box (the
  // simulated printer's only to standard error). A box refused by a stop request leaves the line
  // on standard error.
  ports.tell = [told = &rt->op_](const runtime::Notice& notice) {
    std::cerr << "Tarvo: " << notice.Line() << "\n";
    if (notice.from == runtime::Notice::From::kPrinter || !*told) return;
    std::string text = notice.Line();
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<uint8_t>(text[0])));
    const bool records = notice.from == runtime::Notice::From::kRecords;
    try {
      (*told)->Show({text, records ? "Records" : "Settings", Icon::kInformation, Buttons::kOk});
    } catch (const OperatorAborted&) {
    }
  };
  rt->ports_ = runtime::Runtime::Make(std::move(ports), error, notes);
  if (!rt->ports_) return nullptr;
  return rt;
}

ProgramRuntime::~ProgramRuntime() {
  if (ports_ && ports_->link().is_open()) ports_->link().HandleClose();
}

}  // namespace tarvo::win32app
