#include <windows.h>

#include "pipeline/path_style.h"

namespace vorzik {

const PathStyle& NativePathStyle() {
  return kWindowsPathStyle;
}

std::string PathAsDisplayText(std::string_view path) {
  if (path.empty())
    return {};
  const int size = static_cast<int>(path.size());
  const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
  std::wstring wide(wideLength, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), wideLength);
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string text(length, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace vorzik
