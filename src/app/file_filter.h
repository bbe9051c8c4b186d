#pragma once

#include <QString>
#include <string_view>

namespace tarvo::app {

// An operation's file filter, written as the old file dialogs took it ("Bin Files (*.bin)|*.bin|
// All Files (*.*)|*.*||"), as a Qt name filter list ("Bin Files (*.bin);;All Files (*.*)").
// A description that does not show its patterns gets them added in brackets.
QString QtNameFilters(std::string_view filter);

}  // namespace tarvo::app
