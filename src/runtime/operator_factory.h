#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "base/line_sink.h"
#include "base/operator.h"

namespace tarvo::runtime {

// "tty" (the terminal: prompts on `out`, answers from `in`) or "script:FILE" (answers from a
// file, see src/dialogs/README.md). Every interaction is written to `transcript`.
// Nothing, with *error set, for an unknown name or an unreadable script.
std::unique_ptr<Operator> MakeOperator(std::string_view spec, std::istream& in, std::ostream& out,
                                       LineSink& transcript, std::string* error);

}  // namespace tarvo::runtime
