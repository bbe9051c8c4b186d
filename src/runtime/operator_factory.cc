#include "runtime/operator_factory.h"

#include "operators/script_operator.h"
#include "operators/terminal_operator.h"

namespace tarvo::runtime {

std::unique_ptr<Operator> MakeOperator(std::string_view spec, std::istream& in, std::ostream& out,
                                       LineSink& transcript, std::string* error) {
  if (spec == "tty") return std::make_unique<TerminalOperator>(in, out, transcript);
  if (spec.starts_with("script:")) {
    std::string path(spec.substr(7));
    auto script = ScriptOperator::FromFile(path, transcript);
    if (!script) {
      *error = "cannot read operator script " + path;
      return nullptr;
    }
    return std::make_unique<ScriptOperator>(std::move(*script));
  }
  *error = "unknown operator \"" + std::string(spec) + "\" (use tty or script:FILE)";
  return nullptr;
}

}  // namespace tarvo::runtime
