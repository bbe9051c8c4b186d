#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_sink.h"
#include "base/operator.h"

namespace tarvo {

// The operator of unattended runs: answers every prompt from a script, one line per answer in
// the order the prompts come (blank lines and lines starting with '#' are skipped). A line that
// does not fit its prompt, or a script that has run out, throws OperatorAborted naming the prompt
// and the line, so a run never hangs. A refused dialog entry is written to the transcript and the
// next line answers the same dialog. Wait windows and waits take no line. The lines and the
// transcript are described in src/dialogs/README.md.
class ScriptOperator : public Operator {
 public:
  // `name` names the script in abort messages (a file name, say).
  ScriptOperator(std::string_view script, LineSink& transcript, std::string name = "script");
  // Nothing when the file cannot be read.
  static std::optional<ScriptOperator> FromFile(const std::filesystem::path& path,
                                                LineSink& transcript);

  Reply Show(const Message& message) override;
  void OpenWaitWindow(const WaitWindow& window) override;
  void CloseWaitWindow() override;
  void WaitStarts(int64_t ms) override;
  DialogResult ShowDialog(DialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileRequest& request) override;

  // Answer lines not used yet.
  size_t lines_left() const { return lines_.size() - next_; }

 private:
  struct Line {
    int number = 0;
    std::string text;
  };

  // The next answer line for `prompt`; throws when the script has run out.
  const Line& Next(const std::string& prompt);
  [[noreturn]] void DoesNotFit(const Line& line, const std::string& prompt,
                               const std::string& problem);
  [[noreturn]] void Abort(const std::string& message);

  std::vector<Line> lines_;
  size_t next_ = 0;
  int last_number_ = 0;
  LineSink* transcript_;
  std::string name_;
};

}  // namespace tarvo
