#include "tests/browser/posix_temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vorzik::ui::testing {

PosixTempDir::PosixTempDir() {
  char current[PATH_MAX];
  if (getcwd(current, sizeof current))
    savedCurrent_ = current;
  std::string pattern = (std::filesystem::temp_directory_path() / "vorzik-browser-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    throw std::runtime_error("mkdtemp failed");
  char resolved[PATH_MAX];
  path_ = realpath(pattern.c_str(), resolved) ? resolved : pattern;
}

PosixTempDir::~PosixTempDir() {
  // Leave the folder before removing it; a start folder that went away
  // meanwhile cannot be restored, and nothing else can be done then.
  if (!savedCurrent_.empty() && chdir(savedCurrent_.c_str()) != 0)
    savedCurrent_.clear();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void PosixTempDir::MakeFolder(const std::string& name) const {
  std::filesystem::create_directories(*this / name);
}

void PosixTempDir::MakeFile(const std::string& name) const {
  std::ofstream(*this / name) << "x";
}

}  // namespace vorzik::ui::testing
