#include <climits>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tests/support/temp_dir.h"

namespace vorzik::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorzik-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw std::runtime_error("mkdtemp failed");
  // Spelled as getcwd spells it once a test has moved there.
  char resolved[PATH_MAX];
  path_ = ::realpath(pattern.c_str(), resolved) ? resolved : pattern;
}

}  // namespace vorzik::testing
