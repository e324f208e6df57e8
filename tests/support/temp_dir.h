#pragma once

#include <string>

namespace vorzik::testing {

/// A fresh folder under the system's temporary folder, removed with all it
/// holds when the object goes. The same for the tests of both platforms; only
/// making the folder differs (temp_dir_posix.cpp, temp_dir_win32.cpp).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// On POSIX the folder as getcwd spells it (the temporary folder may be a link).
  const std::string& Path() const { return path_; }
  // Path() + "/" + name
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void MakeFolder(const std::string& name) const;
  /// A small file with some content.
  void MakeFile(const std::string& name) const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

/// Restores the process's current folder when it goes.
class CurrentDirGuard {
 public:
  CurrentDirGuard();
  ~CurrentDirGuard();
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

 private:
  std::string saved_;
};

}  // namespace vorzik::testing
