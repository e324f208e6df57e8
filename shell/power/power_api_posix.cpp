#include "shell/power/power_api_posix.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <atomic>
#include <cstring>

namespace vorzik::shell {
namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";
// logind answers power requests at once; this only bounds a hung bus.
constexpr int kCallTimeoutMs = 10000;

// The pseudo handle Windows gives for the own process, and a token value that
// is never zero so it reads as opened.
constexpr ProcessHandle kOwnProcess = static_cast<ProcessHandle>(-1);
constexpr TokenHandle kOwnToken = 1;
// The identifier Windows gives the shutdown privilege on every system.
constexpr Luid kShutdownLuid{19, 0};

std::string NewConnectionName() {
  static std::atomic<int> counter{0};
  return "vorzik-power-" + std::to_string(++counter);
}

}  // namespace

LogindPowerApi::LogindPowerApi(const std::string& busAddress)
    : connectionName_(NewConnectionName()) {
  // connectToBus with an empty address gives a connection that is not
  // connected, never the system bus.
  QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                QString::fromStdString(connectionName_));
}

LogindPowerApi::LogindPowerApi(SystemBus) : connectionName_(NewConnectionName()) {
  QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                QString::fromStdString(connectionName_));
}

LogindPowerApi::~LogindPowerApi() {
  QDBusConnection::disconnectFromBus(QString::fromStdString(connectionName_));
}

bool LogindPowerApi::GetVersionExA(OsVersionInfo& info) {
  if (info.osVersionInfoSize != kOsVersionInfoSize) {
    return false;
  }
  std::memset(&info, 0, sizeof info);
  info.osVersionInfoSize = kOsVersionInfoSize;
  info.platformId = kPlatformWin32Nt;
  return true;
}

ProcessHandle LogindPowerApi::GetCurrentProcess() {
  return kOwnProcess;
}

bool LogindPowerApi::OpenProcessToken(ProcessHandle, std::uint32_t, TokenHandle& token) {
  token = kOwnToken;
  return true;
}

bool LogindPowerApi::LookupPrivilegeValueA(const char*, const char* name, Luid& luid) {
  if (name == nullptr || std::strcmp(name, kSeShutdownName) != 0) {
    return false;
  }
  luid = kShutdownLuid;
  return true;
}

bool LogindPowerApi::AdjustTokenPrivileges(TokenHandle, bool, const TokenPrivileges&,
                                           std::uint32_t bufferLength,
                                           TokenPrivileges* previousState,
                                           std::uint32_t* returnLength) {
  // Nothing was enabled before, so the previous state holds no privilege.
  if (previousState != nullptr && bufferLength >= sizeof(std::uint32_t)) {
    previousState->privilegeCount = 0;
  }
  if (returnLength != nullptr) {
    *returnLength = sizeof(std::uint32_t);
  }
  return true;
}

bool LogindPowerApi::ExitWindowsEx(std::uint32_t flags, std::uint32_t) {
  if (flags != kEwxShutdown && flags != kEwxPowerOff) {
    return false;
  }
  return CallManager("PowerOff");
}

bool LogindPowerApi::SetSystemPowerState(bool suspend, bool) {
  return CallManager(suspend ? "Suspend" : "Hibernate");
}

bool LogindPowerApi::CloseHandle(TokenHandle) {
  return true;
}

bool LogindPowerApi::CallManager(const char* method) {
  QDBusConnection bus(QString::fromStdString(connectionName_));
  if (!bus.isConnected()) {
    return false;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager,
                                                     QString::fromLatin1(method));
  // Not interactive: no polkit dialog may come up at the end of a batch.
  call << false;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

std::unique_ptr<PowerApi> MakeSystemPowerApi() {
  return std::unique_ptr<PowerApi>(new LogindPowerApi(LogindPowerApi::SystemBus{}));
}

}  // namespace vorzik::shell
