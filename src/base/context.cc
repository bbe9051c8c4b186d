#include "base/context.h"

#include <string>

namespace tarvo {

std::string Context::StationPath(std::string_view name) const {
  if (name.empty() || station_dir.empty()) return std::string(name);
  const std::filesystem::path path(name);
  return path.is_absolute() ? std::string(name) : (station_dir / path).string();
}

void Context::Wait(int64_t ms) const {
  wire.Wait(ms);
  op.WaitStarts(ms);
  clock.SleepMs(ms);
  op.WaitEnds();
}

void Context::Error(std::string_view text, std::string_view caption) const {
  op.Show(Message{std::string(text), std::string(caption), Icon::kError, Buttons::kOk});
}

void Context::Info(std::string_view text, std::string_view caption) const {
  op.Show(Message{std::string(text), std::string(caption), Icon::kInformation, Buttons::kOk});
}

}  // namespace tarvo
