#include "shell/power/power_api_posix.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <atomic>

namespace vorzik::shell {
namespace {

constexpr const char* kLogindService = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kLogindManager = "org.freedesktop.login1.Manager";
// logind answers power requests at once; this only bounds a hung bus.
constexpr int kCallTimeoutMs = 10000;

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

bool LogindPowerApi::PowerOff() {
  return CallManager("PowerOff");
}

bool LogindPowerApi::Hibernate() {
  return CallManager("Hibernate");
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
