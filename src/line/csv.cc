#include "line/csv.h"

namespace tarvo::line {
namespace {

std::string Field(const Json& value) {
  std::string text;
  if (value.is_string()) {
    text = value.get<std::string>();
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) {
      text.insert(0, "'");
    }
  } else if (!value.is_null()) {
    text = value.dump();
  }
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string Csv(const Json& table) {
  std::string out;
  if (!table.is_array() || table.empty()) return out;
  std::vector<std::string> keys;
  for (const auto& [key, value] : table.front().items()) keys.push_back(key);
  for (size_t i = 0; i < keys.size(); ++i) out += (i ? "," : "") + Field(keys[i]);
  out += "\r\n";
  for (const Json& row : table) {
    for (size_t i = 0; i < keys.size(); ++i) {
      out += i ? "," : "";
      const auto it = row.find(keys[i]);
      out += Field(it == row.end() ? Json(nullptr) : *it);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace tarvo::line
