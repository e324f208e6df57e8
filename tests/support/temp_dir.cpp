#include "tests/support/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace vorzik::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorzik-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data()))
    throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

CurrentDirGuard::CurrentDirGuard() : saved_(std::filesystem::current_path().string()) {}

CurrentDirGuard::~CurrentDirGuard() {
  std::error_code ignored;
  std::filesystem::current_path(saved_, ignored);
}

}  // namespace vorzik::testing
