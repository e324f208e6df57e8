// Where a tool's program is found: beside our executable, then on PATH.
#include "pipeline/program_search_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vorzik {

namespace {

std::string OwnExecutableFolder() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0)
    return {};
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.empty())
    return {};
  if (name.find('/') != std::string::npos)
    return IsExecutableFile(name) ? name : std::string();
  std::vector<std::string> folders{OwnExecutableFolder()};
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "";
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t colon = rest.find(':', start);
    if (colon == std::string::npos)
      colon = rest.size();
    std::string dir = rest.substr(start, colon - start);
    if (!dir.empty() && dir.front() == '/')
      folders.push_back(dir + "/");
    start = colon + 1;
  }
  for (const auto& folder : folders) {
    if (folder.empty())
      continue;
    std::string candidate = folder + name;
    if (IsExecutableFile(candidate))
      return candidate;
  }
  return {};
}

}  // namespace vorzik
