#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QThread>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "private_bus.h"
#include "shell/power/power_action.h"
#include "shell/power/power_api_posix.h"
#include "shell/power/sleep_inhibitor_posix.h"

namespace vorzik::shell {
namespace {

const QString kLogind = "org.freedesktop.login1";
const QString kLogindPath = "/org/freedesktop/login1";
const QString kMockInterface = "org.freedesktop.DBus.Mock";
const QString kObserver = "power-test-observer";

// The arguments of every call of one method the mock logind received.
using ArgumentLists = std::vector<QVariantList>;

// One private bus with a mock logind for the whole suite: starting python
// takes longer than every test together.
class LogindPowerApiTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    bus_ = new PrivateLogindBus;
    if (!bus_->Start(startError_)) {
      return;
    }
    QDBusConnection observer =
        QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), kObserver);
    for (int i = 0; i < 200 && bus_->MockRunning(); ++i) {
      if (observer.interface()->isServiceRegistered(kLogind)) {
        return;
      }
      QThread::msleep(50);
    }
    startError_ = "the mock logind did not appear on the private bus: " + bus_->MockOutput();
  }

  static void TearDownTestSuite() {
    QDBusConnection::disconnectFromBus(kObserver);
    delete bus_;
    bus_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(startError_.empty()) << startError_;
    // Anything but our own socket could be a real bus that powers this
    // machine off, so refuse to go on.
    ASSERT_FALSE(bus_->address().empty());
    ASSERT_EQ(bus_->address().rfind("unix:path=" + bus_->folder() + "/", 0), 0u) << bus_->address();
    ClearCalls();
  }

  static void ClearCalls() {
    QDBusMessage clear =
        QDBusMessage::createMethodCall(kLogind, kLogindPath, kMockInterface, "ClearCalls");
    ASSERT_EQ(Observer().call(clear).type(), QDBusMessage::ReplyMessage);
  }

  static QDBusConnection Observer() { return QDBusConnection(kObserver); }

  static ArgumentLists CallsOf(const QString& method) {
    QDBusMessage query =
        QDBusMessage::createMethodCall(kLogind, kLogindPath, kMockInterface, "GetMethodCalls");
    query << method;
    const QDBusMessage reply = Observer().call(query);
    ArgumentLists result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
      ADD_FAILURE() << "GetMethodCalls failed: " << reply.errorMessage().toStdString();
      return result;
    }
    // a(tav): a timestamp and the argument list of each call.
    const QDBusArgument calls = reply.arguments().at(0).value<QDBusArgument>();
    calls.beginArray();
    while (!calls.atEnd()) {
      qulonglong timestamp = 0;
      QVariantList arguments;
      calls.beginStructure();
      calls >> timestamp >> arguments;
      calls.endStructure();
      result.push_back(arguments);
    }
    calls.endArray();
    return result;
  }

  // True when method was called exactly once, with the single boolean false.
  static testing::AssertionResult CalledOnceNotInteractive(const QString& method) {
    const ArgumentLists calls = CallsOf(method);
    if (calls.size() != 1) {
      return testing::AssertionFailure()
             << method.toStdString() << " called " << calls.size() << " times";
    }
    const QVariantList& arguments = calls[0];
    if (arguments.size() != 1 || arguments[0].metaType() != QMetaType::fromType<bool>()) {
      return testing::AssertionFailure() << method.toStdString() << " without one boolean";
    }
    if (arguments[0].toBool()) {
      return testing::AssertionFailure() << method.toStdString() << " asked interactively";
    }
    return testing::AssertionSuccess();
  }

  static int TotalPowerCalls() {
    int total = 0;
    for (const char* method : {"PowerOff", "Reboot", "Halt", "Suspend", "Hibernate", "HybridSleep",
                               "SuspendThenHibernate"}) {
      total += static_cast<int>(CallsOf(method).size());
    }
    return total;
  }

  std::unique_ptr<LogindPowerApi> MakeApi() {
    return std::make_unique<LogindPowerApi>(bus_->address());
  }

  static inline PrivateLogindBus* bus_ = nullptr;
  static inline std::string startError_;
};

TEST_F(LogindPowerApiTest, EachRequestIsOneCallOfItsMethodNotInteractively) {
  const std::pair<const char*, bool (PowerApi::*)()> requests[] = {
      {"PowerOff", &PowerApi::PowerOff}, {"Hibernate", &PowerApi::Hibernate}};
  for (const auto& [method, request] : requests) {
    SCOPED_TRACE(method);
    ClearCalls();
    auto api = MakeApi();
    EXPECT_TRUE(((*api).*request)());
    EXPECT_TRUE(CalledOnceNotInteractive(method));
    EXPECT_EQ(TotalPowerCalls(), 1);
  }
}

TEST_F(LogindPowerApiTest, ShutDownActionReachesLogindAsPowerOff) {
  auto api = MakeApi();
  bool closed = false;
  PowerAction(kPowerShutDown, *api, [&closed] { closed = true; });
  EXPECT_TRUE(CalledOnceNotInteractive("PowerOff"));
  EXPECT_EQ(TotalPowerCalls(), 1);
  EXPECT_FALSE(closed);
}

TEST_F(LogindPowerApiTest, HibernateActionReachesLogindThenClosesWindow) {
  auto api = MakeApi();
  bool hibernatedBeforeClose = false;
  PowerAction(kPowerHibernate, *api, [&hibernatedBeforeClose] {
    hibernatedBeforeClose = CallsOf("Hibernate").size() == 1;
  });
  EXPECT_TRUE(hibernatedBeforeClose);
  EXPECT_TRUE(CalledOnceNotInteractive("Hibernate"));
  EXPECT_EQ(TotalPowerCalls(), 1);
}

TEST_F(LogindPowerApiTest, RefusalByLogindIsReported) {
  QDBusMessage refuse =
      QDBusMessage::createMethodCall(kLogind, kLogindPath, kMockInterface, "AddMethod");
  refuse << "org.freedesktop.login1.Manager"
         << "Hibernate"
         << "b"
         << ""
         << "raise dbus.exceptions.DBusException('refused', "
            "name='org.freedesktop.login1.OperationInProgress')";
  ASSERT_EQ(Observer().call(refuse).type(), QDBusMessage::ReplyMessage);
  EXPECT_FALSE(MakeApi()->Hibernate());
  EXPECT_EQ(CallsOf("Hibernate").size(), 1u);
  // Put the template's method back for the tests that follow.
  QDBusMessage restore =
      QDBusMessage::createMethodCall(kLogind, kLogindPath, kMockInterface, "AddMethod");
  restore << "org.freedesktop.login1.Manager"
          << "Hibernate"
          << "b"
          << ""
          << "";
  ASSERT_EQ(Observer().call(restore).type(), QDBusMessage::ReplyMessage);
}

TEST_F(LogindPowerApiTest, UnreachableBusRefusesEverything) {
  LogindPowerApi api("unix:path=" + bus_->folder() + "/no-such-socket");
  EXPECT_FALSE(api.PowerOff());
  EXPECT_FALSE(api.Hibernate());
  EXPECT_EQ(TotalPowerCalls(), 0);
}

TEST_F(LogindPowerApiTest, EmptyAddressRefusesInsteadOfUsingAnotherBus) {
  LogindPowerApi api("");
  EXPECT_FALSE(api.PowerOff());
  EXPECT_FALSE(api.Hibernate());
}

// The inhibitor locks logind holds, as "what who why mode".
std::vector<std::string> Inhibitors() {
  QDBusMessage list = QDBusMessage::createMethodCall(
      kLogind, kLogindPath, "org.freedesktop.login1.Manager", "ListInhibitors");
  const QDBusMessage reply = QDBusConnection(kObserver).call(list);
  std::vector<std::string> result;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    ADD_FAILURE() << "ListInhibitors failed: " << reply.errorMessage().toStdString();
    return result;
  }
  const QDBusArgument locks = reply.arguments().at(0).value<QDBusArgument>();
  locks.beginArray();
  while (!locks.atEnd()) {
    QString what, who, why, mode;
    uint uid = 0, pid = 0;
    locks.beginStructure();
    locks >> what >> who >> why >> mode >> uid >> pid;
    locks.endStructure();
    result.push_back((what + " " + who + " " + why + " " + mode).toStdString());
  }
  locks.endArray();
  return result;
}

TEST_F(LogindPowerApiTest, SleepInhibitorHoldsABlockingSleepLockUntilReleased) {
  ASSERT_EQ(Inhibitors(), std::vector<std::string>{});
  auto inhibitor = std::make_unique<LogindSleepInhibitor>(bus_->address());
  EXPECT_TRUE(CallsOf("Inhibit").empty()) << "nothing is asked before a batch";
  inhibitor->Hold();
  inhibitor->Hold();
  EXPECT_TRUE(inhibitor->Held());
  EXPECT_EQ(CallsOf("Inhibit").size(), 1u);
  EXPECT_EQ(Inhibitors(), std::vector<std::string>{"sleep Vorzik converting audio files block"});
  inhibitor->Release();
  EXPECT_FALSE(inhibitor->Held());
  // logind drops the lock when it sees the descriptor closed.
  for (int i = 0; i < 100 && !Inhibitors().empty(); ++i)
    QThread::msleep(20);
  EXPECT_EQ(Inhibitors(), std::vector<std::string>{});

  inhibitor->Hold();
  EXPECT_EQ(Inhibitors().size(), 1u);
  inhibitor.reset();  // a program that ends lets go too
  for (int i = 0; i < 100 && !Inhibitors().empty(); ++i)
    QThread::msleep(20);
  EXPECT_EQ(Inhibitors(), std::vector<std::string>{});
  EXPECT_EQ(TotalPowerCalls(), 0);
}

TEST_F(LogindPowerApiTest, SleepInhibitorWithoutLogindHoldsNothingQuietly) {
  for (const std::string& address :
       {std::string(), "unix:path=" + bus_->folder() + "/no-such-bus"}) {
    LogindSleepInhibitor inhibitor(address);
    inhibitor.Hold();
    EXPECT_FALSE(inhibitor.Held()) << address;
    inhibitor.Release();
  }
  EXPECT_TRUE(CallsOf("Inhibit").empty());
}

}  // namespace
}  // namespace vorzik::shell
