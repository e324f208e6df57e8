#include "ui/win32/text.h"

#include <windows.h>

#include "ui/browser/ansi_paths_win32.h"

namespace vorzik::ui::win32 {

namespace {

std::wstring Widen(UINT codePage, const std::string& text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring WidenUtf8(const std::string& text) {
  return Widen(CP_UTF8, text);
}

std::wstring WidenAnsi(const std::string& text) {
  return WideOf(text);
}

std::string NarrowUtf8(const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace vorzik::ui::win32
