#include "temp_output.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "tool_error.h"

namespace vorzik::tools {
namespace fs = std::filesystem;

TempOutput::TempOutput(const std::string& finalPath) : finalPath_(finalPath) {
  std::random_device random;
  const unsigned suffix = random() & 0xffffffu;
  char text[16];
  std::snprintf(text, sizeof text, "%06x", suffix);
  // The extension keeps the half-written file out of "*.wav"-style listings.
  tempPath_ = finalPath + ".part-" + text;
}

TempOutput::~TempOutput() {
  if (!committed_) {
    std::error_code ignored;
    fs::remove(tempPath_, ignored);
  }
}

void TempOutput::Commit() {
  std::error_code error;
  fs::rename(tempPath_, finalPath_, error);
  if (error) {
    throw RuntimeError("cannot write " + finalPath_ + ": " + error.message());
  }
  committed_ = true;
}

}  // namespace vorzik::tools
