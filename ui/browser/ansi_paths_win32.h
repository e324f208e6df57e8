#pragma once

// Wide names as the ANSI functions and the tools must see them. Windows only.

#include <windows.h>

#include <optional>
#include <string>

namespace vorzik::ui {

/// The short (8.3) form of an existing wide path, or none.
using ShortFormLookup = std::optional<std::wstring> (*)(const std::wstring& path);

/// The system's answer, from GetShortPathNameW.
std::optional<std::wstring> SystemShortFormOf(const std::wstring& path);

/// The bytes of a path in the ANSI code page, or none when a character has no
/// place there (the platform would put a "?" in its stead).
std::optional<std::string> ExactAnsi(const std::wstring& wide);

/// The path the tools can open through the ANSI functions: the path itself,
/// byte for byte, when it fits the code page, else its short form. Without a
/// short form that fits, the "?" spelling stays; the pipeline refuses it, so
/// the file counts as failed.
std::string ToolPathOf(const std::wstring& path, ShortFormLookup shortForm = SystemShortFormOf);

/// The same for one name found in a folder, from the short form found with it.
std::string ToolNameOf(const WIN32_FIND_DATAW& found);

/// A wide name in UTF-8, as the window shows it.
std::string Utf8Of(const std::wstring& wide);

/// A path in the ANSI code page as the wide functions take it.
std::wstring WideOf(const std::string& ansi);

}  // namespace vorzik::ui
