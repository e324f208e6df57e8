#include "shell/power/sleep_inhibitor_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QString>
#include <QVariant>
#include <atomic>

namespace vorzik::shell {
namespace {

// logind answers at once; this only bounds how long a hung bus can hold up
// the start of a batch.
constexpr int kCallTimeoutMs = 3000;

QString NewConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("vorzik-awake-%1").arg(++counter);
}

}  // namespace

LogindSleepInhibitor::LogindSleepInhibitor(std::string busAddress)
    : busAddress_(std::move(busAddress)) {}

LogindSleepInhibitor::LogindSleepInhibitor(SystemBus) : systemBus_(true) {}

LogindSleepInhibitor::~LogindSleepInhibitor() {
  Release();
}

void LogindSleepInhibitor::Hold() {
  if (Held() || (!systemBus_ && busAddress_.empty()))
    return;
  const QString name = NewConnectionName();
  QDBusConnection bus =
      systemBus_ ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, name)
                 : QDBusConnection::connectToBus(QString::fromStdString(busAddress_), name);
  if (bus.isConnected()) {
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep") << QStringLiteral("Vorzik")
         << QStringLiteral("converting audio files") << QStringLiteral("block");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
      const auto fd = reply.arguments().at(0).value<QDBusUnixFileDescriptor>();
      // The reply's copy closes with the message; the lock needs its own.
      if (fd.isValid())
        lock_ = ::fcntl(fd.fileDescriptor(), F_DUPFD_CLOEXEC, 3);
    }
  }
  QDBusConnection::disconnectFromBus(name);
}

void LogindSleepInhibitor::Release() {
  if (lock_ >= 0)
    ::close(lock_);
  lock_ = -1;
}

std::unique_ptr<SleepInhibitor> MakeSystemSleepInhibitor() {
  return std::unique_ptr<SleepInhibitor>(
      new LogindSleepInhibitor(LogindSleepInhibitor::SystemBus{}));
}

}  // namespace vorzik::shell
