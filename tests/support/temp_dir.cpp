#include "tests/support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vorzik::testing {

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::MakeFolder(const std::string& name) const {
  std::filesystem::create_directories(*this / name);
}

void TempDir::MakeFile(const std::string& name) const {
  WriteFile(*this / name, "x");
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
