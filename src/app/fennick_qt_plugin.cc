// libfennick-qt.so: the library's dialogs in Qt windows. libfennick loads it when it first needs
// its operator, TARVO_OPERATOR is not set and a display is there, so that hosts without Qt still
// load the library itself. Only the entry below is exported.
#include <QApplication>
#include <memory>
#include <mutex>

#include "app/gui_clock.h"
#include "app/qt_operator.h"
#include "runtime/gui_plugin.h"

namespace {

using namespace tarvo;

// The Qt operator, made with the QApplication at the first interaction: the host's QApplication
// when it has one, else one made here on the calling thread.
class LazyQtOperator : public Operator {
 public:
  LazyQtOperator(const Edition& edition, LineSink& transcript, StopRequest* stop)
      : edition_(edition), transcript_(transcript), stop_(stop) {}
  ~LazyQtOperator() override {
    // The operator object belongs to the window thread; at the end of the process that thread
    // may be gone, so it is handed to Qt to delete there.
    if (op_) op_.release()->deleteLater();
  }

  Reply Show(const Message& m) override { return Get().Show(m); }
  void OpenWaitWindow(const WaitWindow& w) override { Get().OpenWaitWindow(w); }
  void CloseWaitWindow() override { Get().CloseWaitWindow(); }
  void WaitStarts(int64_t ms) override { Get().WaitStarts(ms); }
  void WaitEnds() override { Get().WaitEnds(); }
  DialogResult ShowDialog(DialogModel& d) override { return Get().ShowDialog(d); }
  std::optional<std::string> ChooseFile(const FileRequest& r) override {
    return Get().ChooseFile(r);
  }
  void TransferProgress(uint64_t sent, uint64_t total) override {
    Get().TransferProgress(sent, total);
  }

 private:
  app::QtOperator& Get() {
    std::call_once(made_, [this] {
      if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "fennick";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // lives as long as the process
      }
      op_ = std::make_unique<app::QtOperator>(edition_, transcript_);
      op_->set_stop(stop_);
      if (op_->thread() != QApplication::instance()->thread()) {
        op_->moveToThread(QApplication::instance()->thread());
      }
    });
    return *op_;
  }

  const Edition& edition_;
  LineSink& transcript_;
  StopRequest* stop_;
  std::once_flag made_;
  std::unique_ptr<app::QtOperator> op_;
};

Operator* MakeOperator(const Edition* edition, LineSink* transcript, StopRequest* stop,
                       std::string* error) {
  if (!runtime::DisplayAvailable()) {
    *error = "no display to show the dialogs on";
    return nullptr;
  }
  return new LazyQtOperator(*edition, *transcript, stop);
}

void DestroyOperator(Operator* op) {
  delete op;
}

Clock* MakeClock() {
  return new app::GuiClock;
}

void DestroyClock(Clock* clock) {
  delete clock;
}

const runtime::GuiPlugin kPlugin{runtime::GuiPlugin::kVersion, MakeOperator, DestroyOperator,
                                 MakeClock, DestroyClock};

}  // namespace

extern "C" __attribute__((visibility("default"))) const tarvo::runtime::GuiPlugin*
tarvo_gui_plugin() {
  return &kPlugin;
}
