#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The data exchange of the edit boxes: what a number box accepts and the standard messages for
// what it refuses. A refusal keeps the dialog open with the offending box focused and selected.
inline constexpr std::string_view kEnterInteger = "Please enter an integer.";
inline constexpr std::string_view kEnterNumber = "Please enter a number.";

// A decimal integer that fits 32 bits: blanks around it, an optional sign, digits only.
std::optional<int> ParseInteger(std::string_view text);
// A finite decimal number ("1.5", "-2", "3e2"); blanks around it allowed.
std::optional<double> ParseDecimal(std::string_view text);

// "Please enter an integer between MIN and MAX."
std::string IntegerRangeText(int min, int max);

// The caption of the standard messages: the caption of the dialog that refuses, or "Error" for a
// dialog without one.
std::string StandardCaption(const DialogModel& dialog);

// The integer in edit box `id`, or the refusal to show. With a range, a number outside it is
// refused with IntegerRangeText.
struct IntegerEntry {
  std::optional<int> value;
  std::optional<Refusal> refusal;
};
IntegerEntry ReadIntegerBox(const DialogModel& dialog, int id,
                            std::optional<std::pair<int, int>> range = std::nullopt);
struct DecimalEntry {
  std::optional<double> value;
  std::optional<Refusal> refusal;
};
DecimalEntry ReadDecimalBox(const DialogModel& dialog, int id);

// Identifiers are checked in capitals; only ASCII letters change.
std::string ToCapitals(std::string_view text);
bool IsAlphanumeric(char c);  // '0'-'9', 'A'-'Z', 'a'-'z' only
bool IsDigit(char c);
bool IsLetter(char c);  // 'A'-'Z', 'a'-'z' only

}  // namespace tarvo
