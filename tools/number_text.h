#pragma once

#include <string>
#include <string_view>

namespace vorzik::tools {

/// Reads an option value typed by the user: an optional sign, digits and an optional
/// decimal fraction, nothing else (no blanks, exponents, hex, inf or nan). Throws a usage
/// error naming `what` when the text is empty, not such a number, or outside [lo, hi].
double ParseNumber(std::string_view text, double lo, double hi, const std::string& what);

/// True when `text` is a plain decimal number in the sense of ParseNumber.
bool IsPlainNumber(std::string_view text);

/// Shortest decimal form used in filter graph text ("12", "0.5", "-3.25").
std::string FormatNumber(double value);

}  // namespace vorzik::tools
