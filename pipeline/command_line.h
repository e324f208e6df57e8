#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorzik {

/// Splits a command line into arguments the way a Windows C runtime does for
/// its main(): blanks and tabs separate; double quotes group and are removed;
/// inside quotes "" is a literal quote; 2n backslashes before a quote give n
/// backslashes and the quote groups, 2n+1 give n and a literal quote; other
/// backslashes are literal. The first word (the program) is read by the
/// simpler rule the runtime uses for it: quotes group, backslashes are plain.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

/// Quotes one argument so that SplitCommandLine gives it back unchanged
/// (for an argument after the first).
std::string QuoteArgument(std::string_view argument);

}  // namespace vorzik
