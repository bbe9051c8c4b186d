#pragma once

#include <QIcon>

namespace tarvo::app {

// The program's icon: a printer with a test chart, drawn at the usual sizes.
QIcon AppIcon();

}  // namespace tarvo::app
