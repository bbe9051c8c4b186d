#pragma once

#include <span>
#include <string_view>

namespace tarvo::line {

// The pages, their script and style, built into the program from src/line/web.
struct WebAsset {
  std::string_view name;  // "now.html", "app.js"
  std::string_view body;
};
std::span<const WebAsset> WebAssets();

}  // namespace tarvo::line
