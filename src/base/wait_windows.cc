#include "base/wait_windows.h"

#include <string>

namespace tarvo {

WaitWindow ConnectWindow(const Edition& edition) {
  return {196, "Connect",
          std::string(edition.Text({"Connecting....Please Wait !!", "連線中....請稍等 !!"}))};
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

}  // namespace tarvo
