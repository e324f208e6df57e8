#include <gtest/gtest.h>

#include "tests/support/fake_machine.h"
#include "ui/browser/browser.h"

namespace vorzik::ui {
namespace {

using testing::BuildWindowsMachine;
using testing::FakeMachine;

// 表 in Shift-JIS; its second byte has the backslash's code.
const std::string kHyou = "\x95\x5c";

struct Shown {
  std::string name;
  FolderKind kind;
  int depth;
  bool operator==(const Shown&) const = default;
};

std::vector<Shown> EntriesOf(const TDirectoryListBox& list) {
  std::vector<Shown> shown;
  for (const FolderEntry& e : list.Items())
    shown.push_back({e.name, e.kind, e.depth});
  return shown;
}

class FolderList : public ::testing::Test {
 protected:
  FolderList() { BuildWindowsMachine(machine); }

  // The folder list and file list of the window, started in folder.
  void StartIn(const std::string& folder) {
    ASSERT_TRUE(machine.ChangeDirectory(folder));
    dirs = std::make_unique<TDirectoryListBox>("DLB1", Rect{8, 228, 143, 100}, machine);
    files = std::make_unique<TFileListBox>("FLB1", Rect{154, 208, 247, 121}, machine);
    files->SetMask("*.mp2;*.mpa;*.wav");
    dirs->FileList = files.get();
  }

  int IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < dirs->Items().size(); ++i) {
      if (dirs->Items()[i].name == name)
        return static_cast<int>(i);
    }
    return -1;
  }

  FakeMachine machine;
  std::unique_ptr<TDirectoryListBox> dirs;
  std::unique_ptr<TFileListBox> files;
};

TEST_F(FolderList, StartedInAFolderShowsRootAncestorsCurrentThenSortedSubfolders) {
  for (const char* sub : {"b", "C", "a"})
    machine.AddFolder(std::string("D:\\rec\\in\\") + sub);
  machine.AddFolder("D:\\rec\\in\\hid", {.hidden = true});
  machine.AddFolder("D:\\rec\\in\\sys", {.system = true});
  machine.AddFile("D:\\rec\\in\\file.wav");
  StartIn("D:\\rec\\in");
  EXPECT_EQ(EntriesOf(*dirs), (std::vector<Shown>{{"D:\\", FolderKind::Root, 0},
                                                  {"rec", FolderKind::Ancestor, 1},
                                                  {"in", FolderKind::Current, 2},
                                                  {"a", FolderKind::Subfolder, 3},
                                                  {"b", FolderKind::Subfolder, 3},
                                                  {"C", FolderKind::Subfolder, 3}}));
  EXPECT_EQ(dirs->ItemIndex(), 2);
  EXPECT_EQ(dirs->Directory(), "D:\\rec\\in");
  EXPECT_EQ(dirs->DriveLetter(), 'D');
}

TEST_F(FolderList, StartedInADriveRootShowsTheRootAsCurrent) {
  StartIn("D:\\");
  EXPECT_EQ(EntriesOf(*dirs), (std::vector<Shown>{{"D:\\", FolderKind::Current, 0},
                                                  {"rec", FolderKind::Subfolder, 1}}));
  EXPECT_EQ(dirs->ItemIndex(), 0);
}

TEST_F(FolderList, ASharePathHasTheShareAsRootAndNoDriveLetter) {
  machine.AddFolder("\\\\server\\share\\dir\\sub\\deep");
  StartIn("\\\\server\\share\\dir\\sub");
  EXPECT_EQ(EntriesOf(*dirs), (std::vector<Shown>{{"\\\\server\\share\\", FolderKind::Root, 0},
                                                  {"dir", FolderKind::Ancestor, 1},
                                                  {"sub", FolderKind::Current, 2},
                                                  {"deep", FolderKind::Subfolder, 3}}));
  EXPECT_EQ(dirs->DriveLetter(), '\\');
  EXPECT_EQ(dirs->Drive(), "");
  EXPECT_EQ(dirs->EntryTarget(0), "\\\\server\\share\\");
  EXPECT_EQ(dirs->EntryTarget(1), "\\\\server\\share\\dir");
  EXPECT_EQ(dirs->EntryTarget(3), "\\\\server\\share\\dir\\sub\\deep");
}

TEST_F(FolderList, EachEntryOpensItsPrefixOfThePath) {
  machine.AddFolder("D:\\a\\b\\c\\d");
  StartIn("D:\\a\\b\\c");
  const std::pair<int, std::string> targets[] = {
      {0, "D:\\"}, {1, "D:\\a"}, {2, "D:\\a\\b"}, {3, "D:\\a\\b\\c"}, {4, "D:\\a\\b\\c\\d"}};
  for (const auto& [index, target] : targets)
    EXPECT_EQ(dirs->EntryTarget(index), target) << index;
}

TEST_F(FolderList, AShiftJisNameEndingInTheBackslashByteIsOneComponent) {
  machine.AddFolder("D:\\" + kHyou + "\\sub");
  StartIn("D:\\" + kHyou + "\\sub");
  EXPECT_EQ(EntriesOf(*dirs), (std::vector<Shown>{{"D:\\", FolderKind::Root, 0},
                                                  {kHyou, FolderKind::Ancestor, 1},
                                                  {"sub", FolderKind::Current, 2}}));
  dirs->Open(1);
  EXPECT_EQ(dirs->Directory(), "D:\\" + kHyou);
  EXPECT_EQ(machine.CurrentDirectory(), "D:\\" + kHyou);
  EXPECT_EQ(EntriesOf(*dirs)[2], (Shown{"sub", FolderKind::Subfolder, 2}));
}

TEST_F(FolderList, DoubleClickOnTheCurrentEntryReadsNothingAgain) {
  machine.AddFile("D:\\rec\\a.wav");
  StartIn("D:\\rec");
  int itemsChanged = 0;
  dirs->Subscribe([&](Control&, Property what) { itemsChanged += what == Property::Items; });
  int listed = machine.listings["D:\\rec"];
  dirs->Open(IndexOf("rec"));
  EXPECT_EQ(machine.listings["D:\\rec"], listed);
  EXPECT_EQ(itemsChanged, 0);
}

TEST_F(FolderList, OpeningAFolderMovesTheCurrentDirectoryAndRefillsTheFileList) {
  machine.AddFile("D:\\rec\\a.wav");
  machine.AddFile("D:\\rec\\in\\b.mp2");
  StartIn("D:\\rec");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
  dirs->Highlight(IndexOf("in"));  // a single click only moves the highlight
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
  dirs->Open(IndexOf("in"));
  EXPECT_EQ(machine.CurrentDirectory(), "D:\\rec\\in");
  EXPECT_EQ(files->Directory(), "D:\\rec\\in");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"b.mp2"}));
  dirs->Open(0);
  EXPECT_EQ(files->Directory(), "D:\\");
  EXPECT_EQ(files->Count(), 0);
}

TEST_F(FolderList, AFolderRemovedBeforeItIsOpenedLeavesEverythingOnTheOldFolder) {
  machine.AddFile("D:\\rec\\a.wav");
  machine.AddFolder("D:\\rec\\gone");
  StartIn("D:\\rec");
  int gone = IndexOf("gone");
  machine.Remove("D:\\rec\\gone");
  int listed = machine.listings["D:\\rec"];
  dirs->Open(gone);
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
  EXPECT_EQ(machine.CurrentDirectory(), "D:\\rec");
  EXPECT_EQ(IndexOf("gone"), -1);
  // One listing for the folder list's rebuild, none for the file list.
  EXPECT_EQ(machine.listings["D:\\rec"], listed + 1);
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
}

TEST_F(FolderList, NamesEqualIgnoringCaseAreOneFolderOnAVolumeThatIgnoresCase) {
  machine.AddFolder("D:\\rec\\Dup");
  machine.AddFolder("D:\\rec\\DUP");
  StartIn("D:\\rec");
  ASSERT_EQ(dirs->Items().size(), 3u);
  EXPECT_EQ(dirs->Items()[2].name, "DUP");
}

TEST_F(FolderList, AVolumeThatNeitherKeepsNorTellsCaseShowsLowerCase) {
  machine.Volume("d").casePreserved = false;
  machine.AddFolder("D:\\MUSIC\\IN");
  StartIn("D:\\MUSIC");
  ASSERT_EQ(dirs->Items().size(), 3u);
  EXPECT_EQ(dirs->DisplayText(0), "d:\\");
  EXPECT_EQ(dirs->DisplayText(1), "music");
  EXPECT_EQ(dirs->DisplayText(2), "in");
  EXPECT_EQ(dirs->Items()[1].name, "MUSIC");
}

TEST_F(FolderList, EnterOpensOnlyWhenTheKeyHandlerLeavesIt) {
  machine.AddFolder("D:\\rec\\in");
  StartIn("D:\\rec");
  dirs->OnKeyPress = [](Control&, char& key) {
    if (key == 13)
      key = 0;
  };
  dirs->Highlight(IndexOf("in"));
  EXPECT_EQ(dirs->KeyPress(13), 0);
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
  dirs->OnKeyPress = nullptr;
  dirs->KeyPress(13);
  EXPECT_EQ(dirs->Directory(), "D:\\rec\\in");
}

TEST_F(FolderList, RefusesTheUserWhenSwitchedOff) {
  machine.AddFolder("D:\\rec\\in");
  StartIn("D:\\rec");
  dirs->SetEnabled(false);
  dirs->Highlight(IndexOf("in"));
  dirs->Open(IndexOf("in"));
  EXPECT_EQ(dirs->ItemIndex(), 1);
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
}

}  // namespace
}  // namespace vorzik::ui
