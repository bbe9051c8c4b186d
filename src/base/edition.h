#pragma once

#include <cstdint>
#include <string_view>

namespace tarvo {

enum class EditionKind { kProgram, kLibrary };

// A text the operator sees, in the program's words and in the library's. The library's texts are
// Traditional Chinese held as UTF-8.
struct EditionText {
  std::string_view program;
  std::string_view library;
};

// Time limits of reply reading, in milliseconds.
struct ReplyLimits {
  uint32_t read_wait_ms;     // one read inside ReadReply
  uint32_t status_pause_ms;  // pause after a status frame
  int64_t status_cap_ms;     // time spent skipping status frames, from the start of the call
};

// The read exchanges whose remote preamble (the "ST" remote command) the editions place
// differently, and the points of an exchange where it can go: before the command is written,
// between the command and the first reply, between the 8-byte answer and the data that follows.
enum class ReadExchange { kTemperature, kFwVersion, kHeadBlock, kRomImage, kMemory };
enum class ExchangeStage { kBeforeCommand, kAfterCommand, kAfterAnswer };

struct PreamblePlacement {
  bool before_command = false;
  bool after_command = false;
  bool after_answer = false;

  constexpr bool at(ExchangeStage stage) const {
    switch (stage) {
      case ExchangeStage::kBeforeCommand:
        return before_command;
      case ExchangeStage::kAfterCommand:
        return after_command;
      case ExchangeStage::kAfterAnswer:
        return after_answer;
    }
    return false;
  }
};

// Which of the two deliverables the device layer serves. It is chosen once, when the device layer
// is built, and decides message texts, reply time limits and the few sequence differences between
// the desktop program and the station library. Everything else is one code path.
class Edition {
 public:
  static constexpr uint32_t kWriteWaitMs = 9'000'000;

  constexpr explicit Edition(EditionKind kind) : kind_(kind) {}

  EditionKind kind() const { return kind_; }
  bool is_program() const { return kind_ == EditionKind::kProgram; }
  bool is_library() const { return kind_ == EditionKind::kLibrary; }

  std::string_view Text(const EditionText& text) const {
    return is_program() ? text.program : text.library;
  }
  template <typename T>
  const T& Pick(const T& program, const T& library) const {
    return is_program() ? program : library;
  }

  // The program sends the preamble before the command of each read but the image read; the
  // library after the command, and again after the answer of a read that has one, but none
  // with the temperature.
  constexpr PreamblePlacement preamble(ReadExchange exchange) const {
    constexpr PreamblePlacement kBefore{.before_command = true};
    constexpr PreamblePlacement kAfterCommand{.after_command = true};
    constexpr PreamblePlacement kAfterCommandAndAnswer{.after_command = true, .after_answer = true};
    switch (exchange) {
      case ReadExchange::kTemperature:
        return is_program() ? kBefore : PreamblePlacement{};
      case ReadExchange::kFwVersion:
      case ReadExchange::kHeadBlock:
        return is_program() ? kBefore : kAfterCommand;
      case ReadExchange::kRomImage:
        return is_program() ? PreamblePlacement{} : kAfterCommandAndAnswer;
      case ReadExchange::kMemory:
        return is_program() ? kBefore : kAfterCommandAndAnswer;
    }
    return {};
  }

  ReplyLimits reply_limits() const {
    return is_program() ? ReplyLimits{10'000, 500, 20'000} : ReplyLimits{180'000, 500, 180'000'000};
  }

 private:
  EditionKind kind_;
};

inline constexpr Edition kProgramEdition{EditionKind::kProgram};
inline constexpr Edition kLibraryEdition{EditionKind::kLibrary};

}  // namespace tarvo
