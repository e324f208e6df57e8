#pragma once

#include <functional>
#include <string>

namespace vorzik::tools {

/// A file written beside its final path and put into place only by Commit, so a
/// failed run leaves neither a partial output nor a damaged older one. The input may be
/// the same path: it is only replaced once the new file is complete.
///
/// Where the file system allows it the file has no name until Commit (O_TMPFILE), so
/// not even a killed tool leaves it behind; elsewhere it has a short hidden name of
/// fixed length, ".vz-XXXXXX", so any output name the folder takes works. SIGINT,
/// SIGTERM and SIGHUP remove a named file before the tool ends as by the signal.
class TempOutput {
 public:
  enum class Kind { UnnamedWherePossible, Named };

  explicit TempOutput(const std::string& finalPath, Kind kind = Kind::UnnamedWherePossible);
  ~TempOutput();
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  /// Where to write: a name in the output's folder, or /proc/self/fd/N.
  const std::string& Path() const { return writePath_; }
  void Commit();

 private:
  std::string NewShortName(const std::function<bool(const std::string&)>& create);
  void CreateNamed();
  void LinkUnnamed();

  std::string finalPath_;
  std::string folder_;
  std::string writePath_;
  std::string namedPath_;  // the temporary name while one exists
  int unnamed_ = -1;
};

}  // namespace vorzik::tools
