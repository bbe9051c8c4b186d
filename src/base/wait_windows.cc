#include "base/wait_windows.h"

#include <algorithm>
#include <string>

namespace tarvo {

WaitWindow ConnectWindow(const Edition& edition, int retries) {
  return {196, "Connect",
          std::string(edition.Text({"Connecting....Please Wait !!", "連線中....請稍等 !!"})),
          retries};
}

WaitWindow PrinterBusyWindow(const Edition&) {
  // The library's copy of this window keeps the English text.
  return {190, "Printer Busy", "Printer Busy...Please Wait !!"};
}

WaitWindow InkDisChargeWindow(const Edition& edition) {
  return {191, "Ink DisCharge", std::string(edition.Text({"Please Wait 10 Sec !!", "請稍等!!"}))};
}

WaitWindow SendingFileWindow(const Edition& edition) {
  return {0, "MELoadFile",
          std::string(edition.Text({"Sending file....Please Wait !!", "傳送檔案中....請稍等 !!"}))};
}

WaitShown ShowWait(const WaitWindow& window, int started, int64_t wait_ms, int64_t elapsed_ms) {
  wait_ms = std::max<int64_t>(wait_ms, 0);
  started = window.waits > 0 ? std::max(started, 1) : 1;
  const int64_t span = wait_ms * std::max(window.waits, started);
  const int64_t done = wait_ms * (started - 1) + std::clamp<int64_t>(elapsed_ms, 0, wait_ms);
  WaitShown shown;
  shown.left_ms = span - done;
  shown.permille = span > 0 ? static_cast<int>(1000 * done / span) : 1000;
  return shown;
}

int64_t SecondsLeft(int64_t left_ms) {
  return (std::max<int64_t>(left_ms, 0) + 999) / 1000;
}

}  // namespace tarvo
