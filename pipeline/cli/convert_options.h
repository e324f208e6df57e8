#pragma once

#include <string>
#include <vector>

#include "pipeline/option_fragments.h"

namespace vorzik {

/// The stage switches as fixed values, for callers without a window.
struct FixedSwitches {
  bool filter = true;
  int filterVariant = 0;
  bool normalise = true;
  bool encode = true;
  bool deleteIntermediate = true;
};

struct ConvertOptions {
  std::string source;
  ConversionSettings settings;
  FixedSwitches switches;
  bool help = false;
  bool version = false;
};

/// Parses vorzik-convert's arguments (without the program name). Returns an
/// error text, empty on success.
std::string ParseConvertOptions(const std::vector<std::string>& args, ConvertOptions& options);

extern const char kConvertUsage[];

}  // namespace vorzik
