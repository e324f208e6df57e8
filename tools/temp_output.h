#pragma once

#include <string>

namespace vorzik::tools {

/// A file written beside its final path and renamed into place only by Commit, so a
/// failed run leaves neither a partial output nor a damaged older one. The input may be
/// the same path: it is only replaced once the new file is complete.
class TempOutput {
 public:
  explicit TempOutput(const std::string& finalPath);
  ~TempOutput();
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  const std::string& path() const { return tempPath_; }
  void Commit();

 private:
  std::string finalPath_;
  std::string tempPath_;
  bool committed_ = false;
};

}  // namespace vorzik::tools
