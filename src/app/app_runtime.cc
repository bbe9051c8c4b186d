#include "app/app_runtime.h"

#include <cctype>
#include <cstdint>
#include <iostream>

namespace tarvo::app {

std::unique_ptr<AppRuntime> AppRuntime::Make(const AppOptions& options,
                                             std::unique_ptr<SettingsStore> settings,
                                             std::string* error, std::string* notes) {
  std::unique_ptr<AppRuntime> rt(new AppRuntime(options));
  runtime::Options ports;
  ports.printer = options.printer;
  ports.edition = &kProgramEdition;
  ports.virtual_time = options.virtual_time;
  ports.transcript = options.transcript;
  ports.wire_log = options.wire_log;
  ports.station_dir = options.station_dir;
  ports.settings = std::move(settings);
  rt->waits_ = std::make_unique<WaitStatus>();
  ports.waits = rt->waits_.get();
  // The questions end with OperationStopped once the window asks the operation to stop.
  ports.make_operator = [op = &rt->op_](LineSink& transcript, StopRequest& stop, std::string*) {
    auto made = std::make_unique<QtOperator>(kProgramEdition, transcript);
    made->set_stop(&stop);
    *op = made.get();
    return std::unique_ptr<Operator>(std::move(made));
  };
  // What the settings store and the record keeper have to say goes to standard error and to the
  // person, in a box (the simulated printer's only to standard error). Never fails what they
  // were doing: a box refused by a stop request leaves the line on standard error.
  ports.tell = [op = &rt->op_](const runtime::Notice& notice) {
    std::cerr << "Tarvo: " << notice.Line() << "\n";
    if (notice.from == runtime::Notice::From::kPrinter ||
        notice.from == runtime::Notice::From::kDevice || !*op) {
      return;
    }
    std::string text = notice.Line();
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<uint8_t>(text[0])));
    const bool records = notice.from == runtime::Notice::From::kRecords;
    try {
      (*op)->Show({text, records ? "Records" : "Settings", Icon::kInformation, Buttons::kOk});
    } catch (const OperatorAborted&) {
    }
  };
  rt->ports_ = runtime::Runtime::Make(std::move(ports), error, notes);
  if (!rt->ports_) return nullptr;
  return rt;
}

AppRuntime::~AppRuntime() {
  if (ports_ && ports_->link().is_open()) ports_->link().HandleClose();
  // What the record keeper still has to say as the program ends (records left in the file for
  // the next run) goes to standard error alone: no box holds the program open.
  op_ = nullptr;
}

}  // namespace tarvo::app
