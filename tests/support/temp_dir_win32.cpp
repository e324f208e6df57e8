// The Windows side of the tests' temporary folders: a fresh folder under the
// system's temporary folder, made with a name nobody holds yet.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "tests/support/temp_dir.h"

namespace vorzik::testing {

namespace {

std::string SystemTempFolder() {
  char buffer[MAX_PATH + 1];
  DWORD n = ::GetTempPathA(sizeof buffer, buffer);
  if (n == 0 || n > MAX_PATH)
    throw std::runtime_error("GetTempPathA failed");
  return std::string(buffer, n);  // ends in a backslash
}

}  // namespace

TempDir::TempDir() {
  std::string base = SystemTempFolder() + "vorzik-test-" + std::to_string(::GetCurrentProcessId());
  for (unsigned attempt = 0; attempt < 10000; ++attempt) {
    std::string candidate = base + "-" + std::to_string(::GetTickCount() + attempt);
    if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

}  // namespace vorzik::testing
