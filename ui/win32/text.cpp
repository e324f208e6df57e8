#include "ui/win32/text.h"

#include <windows.h>

#include "pipeline/ansi_text_win32.h"

namespace vorzik::ui::win32 {

std::wstring WidenUtf8(const std::string& text) {
  return WideOf(text, CP_UTF8);
}

std::wstring WidenAnsi(const std::string& text) {
  return WideOf(text);
}

std::string NarrowUtf8(const std::wstring& text) {
  return Utf8Of(text);
}

}  // namespace vorzik::ui::win32
