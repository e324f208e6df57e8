#include "pipeline/ansi_text_win32.h"

namespace vorzik {

namespace {

// The text in the given code page with the given conversion flags; lossy,
// when given, tells whether a character had no place there.
std::string Narrow(std::wstring_view wide, UINT codePage, DWORD flags, BOOL* lossy) {
  const int size = static_cast<int>(wide.size());
  if (size == 0)
    return {};
  const int length =
      ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lossy);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

// GetShortPathNameW and GetLongPathNameW answer alike: the length needed, then
// the path.
using PathFormCall = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

std::optional<std::wstring> PathForm(PathFormCall call, const std::wstring& path) {
  const DWORD needed = call(path.c_str(), nullptr, 0);
  if (needed == 0)
    return std::nullopt;
  std::wstring form(needed, L'\0');
  const DWORD length = call(path.c_str(), form.data(), needed);
  if (length == 0 || length >= needed)
    return std::nullopt;
  form.resize(length);
  return form;
}

}  // namespace

std::wstring WideOf(std::string_view text, UINT codePage) {
  const int size = static_cast<int>(text.size());
  if (size == 0)
    return {};
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8Of(std::wstring_view wide) {
  return Narrow(wide, CP_UTF8, 0, nullptr);
}

std::optional<std::string> ExactAnsi(std::wstring_view wide) {
  if (wide.empty())
    return std::string();
  BOOL lossy = FALSE;
  std::string ansi = Narrow(wide, CP_ACP, WC_NO_BEST_FIT_CHARS, &lossy);
  if (ansi.empty() || lossy)
    return std::nullopt;
  return ansi;
}

std::string LossyAnsi(std::wstring_view wide) {
  return Narrow(wide, CP_ACP, 0, nullptr);
}

std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  return PathForm(::GetShortPathNameW, path);
}

std::optional<std::wstring> LongPathOf(const std::wstring& path) {
  return PathForm(::GetLongPathNameW, path);
}

}  // namespace vorzik
