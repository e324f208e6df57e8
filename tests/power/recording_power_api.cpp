#include "recording_power_api.h"

#include <cstdio>
#include <cstring>

namespace vorzik::shell {
namespace {

std::string Hex(std::uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%jx", static_cast<std::uintmax_t>(value));
  return text;
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

std::string Text(const char* text) {
  return text == nullptr ? std::string("null") : "\"" + std::string(text) + "\"";
}

}  // namespace

bool RecordingPowerApi::GetVersionExA(OsVersionInfo& info) {
  calls.push_back("GetVersionExA(size=" + std::to_string(info.osVersionInfoSize) + ")");
  // Like the system: a record of the wrong size is refused and left alone.
  if (!versionSucceeds || info.osVersionInfoSize != kOsVersionInfoSize) {
    return false;
  }
  std::memset(&info, 0, sizeof info);
  info.osVersionInfoSize = kOsVersionInfoSize;
  info.platformId = platformId;
  return true;
}

ProcessHandle RecordingPowerApi::GetCurrentProcess() {
  calls.push_back("GetCurrentProcess()");
  return kProcess;
}

bool RecordingPowerApi::OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                                         TokenHandle& token) {
  calls.push_back("OpenProcessToken(process=" + Hex(process) + ", access=" + Hex(desiredAccess) +
                  ")");
  if (!tokenOpens) {
    return false;
  }
  token = kToken;
  return true;
}

bool RecordingPowerApi::LookupPrivilegeValueA(const char* systemName, const char* name,
                                              Luid& luid) {
  calls.push_back("LookupPrivilegeValueA(system=" + Text(systemName) + ", name=" + Text(name) +
                  ")");
  if (!lookupSucceeds) {
    return false;
  }
  luid = kLuid;
  return true;
}

bool RecordingPowerApi::AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                              const TokenPrivileges& newState,
                                              std::uint32_t bufferLength,
                                              TokenPrivileges* previousState,
                                              std::uint32_t* returnLength) {
  const LuidAndAttributes& entry = newState.privileges[0];
  calls.push_back(
      "AdjustTokenPrivileges(token=" + Hex(token) + ", disableAll=" + Bool(disableAllPrivileges) +
      ", count=" + std::to_string(newState.privilegeCount) + ", luid=" + Hex(entry.luid.lowPart) +
      ":" + Hex(entry.luid.highPart) + ", attributes=" + std::to_string(entry.attributes) +
      ", bufferLength=" + std::to_string(bufferLength) +
      ", previous=" + (previousState != nullptr ? "buffer" : "null") +
      ", returnLength=" + (returnLength != nullptr ? "place" : "null") + ")");
  return adjustSucceeds;
}

bool RecordingPowerApi::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  calls.push_back("ExitWindowsEx(flags=" + std::to_string(flags) +
                  ", reserved=" + std::to_string(reserved) + ")");
  return exitSucceeds;
}

bool RecordingPowerApi::SetSystemPowerState(bool suspend, bool force) {
  calls.push_back("SetSystemPowerState(suspend=" + Bool(suspend) + ", force=" + Bool(force) + ")");
  return powerStateSucceeds;
}

bool RecordingPowerApi::CloseHandle(TokenHandle token) {
  calls.push_back("CloseHandle(token=" + Hex(token) + ")");
  return true;
}

}  // namespace vorzik::shell
