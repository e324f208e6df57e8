// The Windows finder against real top-level windows of this test program:
// FindWindowA sees them as it would see a running instance's.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "shell/instance_finder.h"

namespace vorzik::shell {
namespace {

constexpr char kClassName[] = "VorzikFinderTestWindow";

void RegisterTestClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassA(&windowClass) != 0;
  }();
  ASSERT_TRUE(registered);
}

// A top-level window that lives as long as the object; owner makes it an
// owned window, as a main window is owned by its application-level window.
class TestWindow {
 public:
  explicit TestWindow(const std::string& title, HWND owner = nullptr) {
    RegisterTestClass();
    handle_ = ::CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                owner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  }
  ~TestWindow() {
    if (handle_)
      ::DestroyWindow(handle_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return handle_; }
  WindowId Id() const { return reinterpret_cast<std::uintptr_t>(handle_); }

 private:
  HWND handle_ = nullptr;
};

TEST(Win32Finder, FindsOnlyTheWholeTitleWithLetterCaseIgnored) {
  struct Case {
    const char* windowTitle;
    bool found;
  };
  const Case cases[] = {
      {"Vorzik Ver 1.1a", true},    {"VORZIK ver 1.1A", true},  {"Vorzik Ver 1.1a ", false},
      {"x Vorzik Ver 1.1a", false}, {"Vorzik Ver 1.1b", false}, {"Vorzik Ver 1.1", false},
  };
  auto finder = MakeInstanceFinder();
  ASSERT_EQ(finder->FindTitledWindow(kApplicationTitle), 0u) << "a window of another program";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windowTitle);
    TestWindow window(c.windowTitle);
    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), c.found ? window.Id() : 0u);
  }
  EXPECT_EQ(finder->FindTitledWindow(kApplicationTitle), 0u) << "after the window is gone";
}

TEST(Win32Finder, TheOwnerComesFirstThenTheRecordedMainWindow) {
  auto finder = MakeInstanceFinder();
  TestWindow application(kApplicationTitle);
  TestWindow main("main", application.Handle());
  ASSERT_NE(main.Handle(), nullptr);
  EXPECT_EQ(finder->MainWindowOf(application.Id()), 0u) << "nothing owns it, nothing recorded";
  EXPECT_EQ(finder->MainWindowOf(main.Id()), application.Id()) << "an owned window's owner";

  finder->SetMainWindow(application.Id(), main.Id());
  EXPECT_EQ(finder->MainWindowOf(application.Id()), main.Id());
  EXPECT_EQ(MakeInstanceFinder()->MainWindowOf(application.Id()), main.Id())
      << "the record is on the window, not in the finder";
}

TEST(Win32Finder, ASecondStartRestoresTheMainWindow) {
  auto finder = MakeInstanceFinder();
  TestWindow application(kApplicationTitle);
  TestWindow main("main", application.Handle());
  finder->SetMainWindow(application.Id(), main.Id());
  ::ShowWindow(main.Handle(), SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(finder->IsIconic(main.Id()));
  EXPECT_FALSE(finder->IsIconic(application.Id()));

  EXPECT_TRUE(BringRunningInstanceForward(*finder, "vorzik ver 1.1a"));
  EXPECT_FALSE(finder->IsIconic(main.Id()));
  EXPECT_TRUE(::IsWindowVisible(main.Handle()));
  EXPECT_FALSE(::IsWindowVisible(application.Handle())) << "the hidden window stays hidden";
}

TEST(Win32Finder, OpenIconRestoresAMinimisedWindow) {
  auto finder = MakeInstanceFinder();
  TestWindow window("minimised");
  ::ShowWindow(window.Handle(), SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(finder->IsIconic(window.Id()));
  finder->OpenIcon(window.Id());
  EXPECT_FALSE(finder->IsIconic(window.Id()));
}

TEST(Win32Finder, NoRunningInstanceMeansTheStartGoesOn) {
  auto finder = MakeInstanceFinder();
  TestWindow other("PC-QL7RZ/PCI (Vorzik) Ver 1.1a");
  EXPECT_FALSE(BringRunningInstanceForward(*finder, kApplicationTitle));
}

}  // namespace
}  // namespace vorzik::shell
