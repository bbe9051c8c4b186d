#include "dialogs/field_checks.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

const Control* FindControl(const DialogModel& dialog, int id) {
  for (const auto& c : dialog.controls()) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace

std::optional<int> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimal(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  // Only the characters of a plain decimal number, so that "nan", "inf" and hex are refused.
  for (char c : text) {
    bool ok = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
    if (!ok) return std::nullopt;
  }
  std::string copy(text);
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string IntegerRangeText(int min, int max) {
  return "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) +
         ".";
}

std::string StandardCaption(const DialogModel& dialog) {
  std::string caption = dialog.caption();
  return caption.empty() ? "Error" : caption;
}

IntegerEntry ReadIntegerBox(const DialogModel& dialog, int id,
                            std::optional<std::pair<int, int>> range) {
  const Control* box = FindControl(dialog, id);
  std::optional<int> value = ParseInteger(box ? std::string_view(box->text) : "");
  if (!value) {
    std::string text(range ? IntegerRangeText(range->first, range->second) : kEnterInteger);
    return {std::nullopt, Refusal{text, StandardCaption(dialog), id, true}};
  }
  if (range && (*value < range->first || *value > range->second)) {
    return {std::nullopt, Refusal{IntegerRangeText(range->first, range->second),
                                  StandardCaption(dialog), id, true}};
  }
  return {value, std::nullopt};
}

DecimalEntry ReadDecimalBox(const DialogModel& dialog, int id) {
  const Control* box = FindControl(dialog, id);
  std::optional<double> value = ParseDecimal(box ? std::string_view(box->text) : "");
  if (!value) {
    return {std::nullopt, Refusal{std::string(kEnterNumber), StandardCaption(dialog), id, true}};
  }
  return {value, std::nullopt};
}

std::string ToCapitals(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAlphanumeric(char c) {
  return IsDigit(c) || IsLetter(c);
}

}  // namespace tarvo
