#include "win32ui/dialog_template.h"

#include <algorithm>
#include <climits>

namespace tarvo::win32ui {
namespace {

class Writer {
 public:
  void Word(uint16_t w) { words_.push_back(w); }
  void Dword(uint32_t d) {
    Word(static_cast<uint16_t>(d & 0xFFFF));
    Word(static_cast<uint16_t>(d >> 16));
  }
  // Template coordinates are 16-bit.
  void Short(int v) {
    Word(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(v, 0, SHRT_MAX))));
  }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) Word(static_cast<uint16_t>(c));
    Word(0);
  }
  void AlignDword() {
    if (words_.size() % 2) Word(0);
  }
  std::vector<uint16_t> Take() { return std::move(words_); }

 private:
  std::vector<uint16_t> words_;
};

}  // namespace

std::vector<uint16_t> BuildTemplate(const DialogSpec& spec) {
  Writer w;
  w.Dword(spec.style | DS_SETFONT);
  w.Dword(0);  // extended style
  w.Word(static_cast<uint16_t>(spec.items.size()));
  w.Short(0);
  w.Short(0);
  w.Short(spec.cx);
  w.Short(spec.cy);
  w.Word(0);  // no menu
  w.Word(0);  // the dialog class
  w.Text(spec.caption);
  w.Word(spec.font_points);
  w.Text(spec.font);
  for (const TemplateItem& item : spec.items) {
    w.AlignDword();
    w.Dword(item.style | WS_CHILD | WS_VISIBLE);
    w.Dword(0);
    w.Short(item.x);
    w.Short(item.y);
    w.Short(item.cx);
    w.Short(item.cy);
    w.Word(item.id);
    if (item.item_class == ItemClass::kNamed) {
      w.Text(item.class_name);
    } else {
      w.Word(0xFFFF);
      w.Word(static_cast<uint16_t>(item.item_class));
    }
    w.Text(item.text);
    w.Word(0);  // no creation data
  }
  return w.Take();
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

}  // namespace tarvo::win32ui
