#pragma once

// Text between the ANSI code page, in which the tools' command lines and the A
// functions take paths, and the wide and UTF-8 forms of the W functions and
// the window. Windows only.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vorzik {

/// Text in the given code page (the ANSI one unless said) as the wide
/// functions take it.
std::wstring WideOf(std::string_view text, UINT codePage = CP_ACP);

/// Wide text in UTF-8, as the window shows it.
std::string Utf8Of(std::wstring_view wide);

/// The bytes of wide text in the ANSI code page, or none when a character has
/// no place there (the platform would put a "?" in its stead).
std::optional<std::string> ExactAnsi(std::wstring_view wide);

/// The conversion the A functions make: characters without a place become "?".
std::string LossyAnsi(std::wstring_view wide);

/// The short (8.3) and the long form of an existing wide path, or none.
std::optional<std::wstring> ShortPathOf(const std::wstring& path);
std::optional<std::wstring> LongPathOf(const std::wstring& path);

}  // namespace vorzik
