#include "ui/browser/ansi_paths_win32.h"

namespace vorzik::ui {

namespace {

// The path in the ANSI code page with the given conversion flags; lossy, when
// given, tells whether a character had no place there.
std::string ToAnsi(const std::wstring& wide, DWORD flags, BOOL* lossy) {
  const int size = static_cast<int>(wide.size());
  int length = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, lossy);
  std::string ansi(length, '\0');
  ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

// The conversion the A functions make: characters without a place become "?".
std::string LossyAnsi(const std::wstring& wide) {
  return ToAnsi(wide, 0, nullptr);
}

}  // namespace

std::optional<std::wstring> SystemShortFormOf(const std::wstring& path) {
  DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0)
    return std::nullopt;
  std::wstring shortPath(needed, L'\0');
  DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), needed);
  if (length == 0 || length >= needed)
    return std::nullopt;
  shortPath.resize(length);
  return shortPath;
}

std::optional<std::string> ExactAnsi(const std::wstring& wide) {
  if (wide.empty())
    return std::string();
  BOOL lossy = FALSE;
  std::string ansi = ToAnsi(wide, WC_NO_BEST_FIT_CHARS, &lossy);
  if (ansi.empty() || lossy)
    return std::nullopt;
  return ansi;
}

std::string ToolPathOf(const std::wstring& path, ShortFormLookup shortForm) {
  if (auto exact = ExactAnsi(path))
    return *exact;
  if (auto shortPath = shortForm(path)) {
    if (auto exact = ExactAnsi(*shortPath))
      return *exact;
  }
  return LossyAnsi(path);
}

std::string ToolNameOf(const WIN32_FIND_DATAW& found) {
  if (auto exact = ExactAnsi(found.cFileName))
    return *exact;
  // Empty where the volume keeps no short names.
  if (found.cAlternateFileName[0] != L'\0') {
    if (auto exact = ExactAnsi(found.cAlternateFileName))
      return *exact;
  }
  return LossyAnsi(found.cFileName);
}

std::string Utf8Of(const std::wstring& wide) {
  const int size = static_cast<int>(wide.size());
  int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(length, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::wstring WideOf(const std::string& ansi) {
  int length =
      ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

}  // namespace vorzik::ui
