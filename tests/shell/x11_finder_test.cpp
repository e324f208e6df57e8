// The X11 finder against windows of a private Xvfb.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include "shell/instance_finder.h"
#include "tests/shell/x_session.h"
#include "tests/support/skip_without.h"

namespace vorzik::shell {
namespace {

using namespace testing;

class X11FinderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new XvfbServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server->Running())
      VORZIK_SKIP_WITHOUT("Xvfb");
    const char* old = getenv("DISPLAY");
    savedDisplay = old ? old : "";
    hadDisplay = old != nullptr;
    setenv("DISPLAY", server->Name().c_str(), 1);
    finder = MakeInstanceFinder();
  }
  void TearDown() override {
    finder.reset();
    for (Window w : created)
      XDestroyWindow(server->Connection(), w);
    if (server && server->Running())
      XSync(server->Connection(), False);
    if (hadDisplay) {
      setenv("DISPLAY", savedDisplay.c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  Window Make(const std::string& title, bool map = true) {
    created.push_back(CreateTitledWindow(server->Connection(), title, map));
    return created.back();
  }

  static XvfbServer* server;
  std::unique_ptr<InstanceFinder> finder;
  std::vector<Window> created;
  std::string savedDisplay;
  bool hadDisplay = false;
};

XvfbServer* X11FinderTest::server = nullptr;

TEST_F(X11FinderTest, FindsAWindowByItsWholeTitleIgnoringCaseMappedOrNot) {
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), 0u);
  Window hidden = Make("VORZIK VER 1.1A", false);
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), hidden);
}

TEST_F(X11FinderTest, TheMainCaptionOrALongerTitleIsNotTheTitle) {
  Make(" PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a");
  Make("Vorzik Ver 1.1a - notes");
  Make("old Vorzik Ver 1.1a");
  Make("Vorzik Ver 1.1");
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), 0u);
}

TEST_F(X11FinderTest, FallsBackToTheLegacyNameWithoutTheUtf8One) {
  Display* d = server->Connection();
  Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
  created.push_back(window);
  XStoreName(d, window, "vorzik ver 1.1a");
  XSync(d, False);
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), window);
}

TEST_F(X11FinderTest, TheMainWindowRecordedOnTheApplicationWindowIsFoundAgain) {
  Window app = Make("Vorzik Ver 1.1a", false);
  Window main = Make("main");
  EXPECT_EQ(finder->MainWindowOf(app), 0u);
  finder->SetMainWindow(app, main);
  auto other = MakeInstanceFinder();
  EXPECT_EQ(other->MainWindowOf(other->FindTitledWindow(kApplicationTitle)), main);
}

TEST_F(X11FinderTest, AnIconifiedWindowIsRestoredAndRaisedAboveTheOthers) {
  Display* d = server->Connection();
  Window target = Make("target");
  Iconify(d, target);
  Window cover = Make("cover");
  EXPECT_TRUE(finder->IsIconic(target));
  EXPECT_FALSE(finder->IsIconic(cover));
  finder->OpenIcon(target);
  finder->SetForegroundWindow(target);
  XSync(d, False);
  EXPECT_TRUE(IsShown(d, target));
  auto order = StackingOrder(d);
  auto position = [&](Window w) {
    return std::find(order.begin(), order.end(), w) - order.begin();
  };
  EXPECT_GT(position(target), position(cover));
}

TEST(NoDisplayFinder, FindsNothing) {
  const char* old = getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", ":1023", 1);  // no server listens there
  auto finder = MakeInstanceFinder();
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), 0u);
  EXPECT_FALSE(BringRunningInstanceForward(*finder, kApplicationTitle));
  if (old) {
    setenv("DISPLAY", saved.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
}

}  // namespace
}  // namespace vorzik::shell
