#pragma once

#include "base/operator.h"

namespace tarvo::win32ui {

// MessageBoxW: no owner, always on top and brought to the front, modal for every window of the
// calling thread (the host's too), with the icon and buttons the message asks for. Yes/No boxes
// answer kNo also when they are closed otherwise.
Reply ShowMessageBox(const Message& message);

}  // namespace tarvo::win32ui
