// The single-instance steps against a recording fake window system.

#include <gtest/gtest.h>

#include <map>

#include "shell/instance_finder.h"
#include "shell/version_info.h"

namespace vorzik::shell {
namespace {

class FakeInstanceFinder : public InstanceFinder {
 public:
  std::map<WindowId, std::string> titles;
  std::map<WindowId, WindowId> mainWindows;
  std::map<WindowId, bool> iconic;
  std::vector<std::string> calls;

  WindowId FindTitledWindow(const std::string& title) override {
    calls.push_back("FindTitledWindow " + title);
    for (const auto& [id, t] : titles) {
      if (TitlesMatch(t, title))
        return id;
    }
    return 0;
  }
  WindowId MainWindowOf(WindowId window) override {
    calls.push_back("MainWindowOf " + std::to_string(window));
    auto found = mainWindows.find(window);
    return found == mainWindows.end() ? 0 : found->second;
  }
  bool IsIconic(WindowId window) override {
    calls.push_back("IsIconic " + std::to_string(window));
    return iconic[window];
  }
  void OpenIcon(WindowId window) override {
    calls.push_back("OpenIcon " + std::to_string(window));
    iconic[window] = false;
  }
  void SetForegroundWindow(WindowId window) override {
    calls.push_back("SetForegroundWindow " + std::to_string(window));
  }
  void SetMainWindow(WindowId applicationWindow, WindowId mainWindow) override {
    mainWindows[applicationWindow] = mainWindow;
  }
};

using Calls = std::vector<std::string>;

TEST(SingleInstance, NoWindowWithTheTitleLetsTheStartRun) {
  FakeInstanceFinder finder;
  finder.titles[5] = " PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a";
  EXPECT_FALSE(BringRunningInstanceForward(finder, kApplicationTitle));
  EXPECT_EQ(finder.calls, (Calls{"FindTitledWindow Vorzik Ver 1.1a"}));
}

TEST(SingleInstance, AMinimisedMainWindowIsRestoredThenBroughtForward) {
  FakeInstanceFinder finder;
  finder.titles[7] = "Vorzik Ver 1.1a";
  finder.SetMainWindow(7, 9);
  finder.iconic[9] = true;
  EXPECT_TRUE(BringRunningInstanceForward(finder, kApplicationTitle));
  EXPECT_EQ(finder.calls, (Calls{"FindTitledWindow Vorzik Ver 1.1a", "MainWindowOf 7", "IsIconic 9",
                                 "OpenIcon 9", "SetForegroundWindow 9"}));
}

TEST(SingleInstance, AShownMainWindowIsOnlyBroughtForward) {
  FakeInstanceFinder finder;
  finder.titles[7] = "Vorzik Ver 1.1a";
  finder.SetMainWindow(7, 9);
  EXPECT_TRUE(BringRunningInstanceForward(finder, kApplicationTitle));
  EXPECT_EQ(finder.calls, (Calls{"FindTitledWindow Vorzik Ver 1.1a", "MainWindowOf 7", "IsIconic 9",
                                 "SetForegroundWindow 9"}));
}

TEST(SingleInstance, AForeignWindowThatNamesNoMainWindowIsItselfBroughtForward) {
  FakeInstanceFinder finder;
  finder.titles[3] = "VORZIK VER 1.1A";
  EXPECT_TRUE(BringRunningInstanceForward(finder, kApplicationTitle));
  EXPECT_EQ(finder.calls, (Calls{"FindTitledWindow Vorzik Ver 1.1a", "MainWindowOf 3", "IsIconic 3",
                                 "SetForegroundWindow 3"}));
}

TEST(TitlesMatch, WholeTitleWithLetterCaseIgnored) {
  struct Case {
    const char* title;
    bool matches;
  };
  const Case cases[] = {
      {"Vorzik Ver 1.1a", true},
      {"VORZIK VER 1.1A", true},
      {"vorzik ver 1.1a", true},
      {"Vorzik Ver 1.1a ", false},
      {" Vorzik Ver 1.1a", false},
      {"Vorzik Ver 1.1", false},
      {"Vorzik  Ver 1.1a", false},
      {"Vorzik Ver 1.1b", false},
      {"My Vorzik Ver 1.1a window", false},
      {"", false},
      {" PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TitlesMatch(c.title, kApplicationTitle), c.matches) << c.title;
  }
}

TEST(VersionInfo, RecordTexts) {
  EXPECT_STREQ(version::kFileVersionText, "1.1.1.0");
  EXPECT_STREQ(version::kProductVersionText, "1.1.1.0");
  EXPECT_EQ(version::kFileVersion[0], 1);
  EXPECT_EQ(version::kFileVersion[1], 1);
  EXPECT_EQ(version::kFileVersion[2], 1);
  EXPECT_EQ(version::kFileVersion[3], 0);
  EXPECT_EQ(version::kLanguage, 0x0411u);
  EXPECT_EQ(version::kCodePage, 932u);
  EXPECT_STREQ(version::kFileDescription, "音質(低音減弱)の改善ツール補助");
  EXPECT_STREQ(version::kComments, "サポートの予定は有りません。");
  EXPECT_STREQ(version::kOriginalFilename, "PC-QL7RZ/PCI 支援 (Vorzik)");
  EXPECT_STREQ(version::kCompanyName, "");
}

}  // namespace
}  // namespace vorzik::shell
