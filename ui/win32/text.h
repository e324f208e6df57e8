#pragma once

#include <string>

namespace vorzik::ui::win32 {

/// The source's literals (captions, hints, the status text) are UTF-8.
std::wstring WidenUtf8(const std::string& text);
std::string NarrowUtf8(const std::wstring& text);
/// Names the browser read from the file system are in the ANSI code page.
std::wstring WidenAnsi(const std::string& text);

}  // namespace vorzik::ui::win32
