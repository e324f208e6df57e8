#pragma once

// Wide names as the ANSI functions and the tools must see them. Windows only.

#include <windows.h>

#include <optional>
#include <string>

#include "pipeline/ansi_text_win32.h"

namespace vorzik::ui {

/// The short (8.3) form of an existing wide path, or none.
using ShortFormLookup = std::optional<std::wstring> (*)(const std::wstring& path);

/// The path the tools can open through the ANSI functions: the path itself,
/// byte for byte, when it fits the code page, else its short form. Without a
/// short form that fits, the "?" spelling stays; the pipeline refuses it, so
/// the file counts as failed.
std::string ToolPathOf(const std::wstring& path, ShortFormLookup shortForm = ShortPathOf);

/// The same for one name found in a folder, from the short form found with it.
std::string ToolNameOf(const WIN32_FIND_DATAW& found);

}  // namespace vorzik::ui
