#include "tools/number_text.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

#include "tools/tool_error.h"

namespace vorzik::tools {

bool IsPlainNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      ++digits;
    }
  }
  return digits > 0 && i == text.size();
}

double ParseNumber(std::string_view text, double lo, double hi, const std::string& what) {
  if (text.empty()) {
    throw UsageError(what + " has an empty value");
  }
  if (!IsPlainNumber(text)) {
    throw UsageError(what + " value '" + std::string(text) + "' is not a number");
  }
  std::string_view digits = text.front() == '+' ? text.substr(1) : text;
  double value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || value < lo || value > hi) {
    throw UsageError(what + " value " + std::string(text) + " is out of range " + FormatNumber(lo) +
                     ".." + FormatNumber(hi));
  }
  return value;
}

std::string FormatNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

}  // namespace vorzik::tools
