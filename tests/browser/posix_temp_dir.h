#pragma once

#include <string>

namespace vorzik::ui::testing {

/// A fresh folder made with mkdtemp under the system's temporary folder and
/// removed with everything in it at the end; the process's current directory
/// is put back as it was, so a test that moves it leaves no trace.
class PosixTempDir {
 public:
  PosixTempDir();
  ~PosixTempDir();
  PosixTempDir(const PosixTempDir&) = delete;
  PosixTempDir& operator=(const PosixTempDir&) = delete;

  // The folder as getcwd spells it (the temporary folder may be a link).
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void MakeFolder(const std::string& name) const;
  void MakeFile(const std::string& name) const;

 private:
  std::string path_;
  std::string savedCurrent_;
};

}  // namespace vorzik::ui::testing
