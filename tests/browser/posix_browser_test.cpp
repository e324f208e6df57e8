#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "tests/support/fake_machine.h"
#include "tests/support/temp_dir.h"
#include "ui/browser/browser.h"
#include "ui/browser/mount_table.h"

namespace vorzik::ui {
namespace {

using vorzik::testing::CurrentDirGuard;
using vorzik::testing::TempDir;

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

// The three controls of the window on the real machine, started in a fresh
// temporary folder.
class PosixBrowser : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_EQ(chdir(temp.Path().c_str()), 0);
    fs = MakeNativeBrowserQueries();
    drives = std::make_unique<TDriveComboBox>("DCB1", Rect{}, *fs);
    dirs = std::make_unique<TDirectoryListBox>("DLB1", Rect{}, *fs);
    files = std::make_unique<TFileListBox>("FLB1", Rect{}, *fs);
    files->SetMask("*.mp2;*.mpa;*.wav");
    drives->DirList = dirs.get();
    dirs->FileList = files.get();
  }

  int IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < dirs->Items().size(); ++i) {
      if (dirs->Items()[i].name == name)
        return static_cast<int>(i);
    }
    return -1;
  }

  TempDir temp;
  CurrentDirGuard restoreCurrent;  // goes first, so the folder is left before it is removed
  std::unique_ptr<BrowserQueries> fs;
  std::unique_ptr<TDriveComboBox> drives;
  std::unique_ptr<TDirectoryListBox> dirs;
  std::unique_ptr<TFileListBox> files;
};

TEST_F(PosixBrowser, StartsInTheCurrentDirectoryWithItsPathAsATree) {
  temp.MakeFolder("sub");
  Start();
  EXPECT_EQ(dirs->Directory(), temp.Path());
  EXPECT_EQ(files->Directory(), temp.Path());
  EXPECT_EQ(dirs->DriveLetter(), '/');
  const std::vector<FolderEntry>& entries = dirs->Items();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries.front().name, "/");
  EXPECT_EQ(entries.front().kind, FolderKind::Root);
  EXPECT_EQ(entries[dirs->ItemIndex()].name,
            std::string(LastComponent(temp.Path(), kPosixPathStyle)));
  EXPECT_EQ(entries[dirs->ItemIndex()].kind, FolderKind::Current);
  EXPECT_EQ(entries.back().name, "sub");
  EXPECT_EQ(dirs->EntryTarget(0), "/");
}

TEST_F(PosixBrowser, ListsPlainMatchingFilesOnly) {
  temp.MakeFile("X.WAV");
  temp.MakeFile("a.mp2");
  temp.MakeFolder("y.wav");
  temp.MakeFile(".z.mp2");
  temp.MakeFile("notes.txt");
  ASSERT_EQ(mkfifo((temp / "x.wav").c_str(), 0600), 0);
  ASSERT_EQ(symlink((temp / "a.mp2").c_str(), (temp / "link.mpa").c_str()), 0);
  ASSERT_EQ(symlink((temp / "missing").c_str(), (temp / "broken.wav").c_str()), 0);
  Start();
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.mp2", "link.mpa", "X.WAV"}));
  files->SetItemIndex(2);
  EXPECT_EQ(files->FileName(), temp / "X.WAV");
}

TEST_F(PosixBrowser, FoldersThatDifferOnlyInCaseAreBothListedAndReachable) {
  temp.MakeFolder("x/Rec");
  temp.MakeFolder("x/rec");
  temp.MakeFolder("x/.hidden");
  temp.MakeFile("x/Rec/a.wav");
  temp.MakeFile("x/rec/b.wav");
  ASSERT_EQ(chdir((temp / "x").c_str()), 0);
  Start();
  dirs->Open(IndexOf("x"));
  ASSERT_EQ(dirs->Directory(), temp / "x");
  ASSERT_NE(IndexOf("Rec"), -1);
  ASSERT_NE(IndexOf("rec"), -1);
  EXPECT_EQ(IndexOf(".hidden"), -1);

  dirs->Open(IndexOf("Rec"));
  EXPECT_EQ(CurrentDirectory(), temp / "x/Rec");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
  // Up to x and down into the other one; the file list follows.
  dirs->Open(IndexOf("x"));
  dirs->Open(IndexOf("rec"));
  EXPECT_EQ(dirs->Directory(), temp / "x/rec");
  EXPECT_EQ(files->Directory(), temp / "x/rec");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"b.wav"}));
}

TEST_F(PosixBrowser, TheFileListFollowsAMoveToAFolderThatDiffersOnlyInCase) {
  temp.MakeFolder("Rec");
  temp.MakeFolder("rec");
  temp.MakeFile("Rec/a.wav");
  temp.MakeFile("rec/b.wav");
  Start();
  files->SetDirectory(temp / "Rec");
  files->SetDirectory(temp / "rec");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"b.wav"}));
}

TEST_F(PosixBrowser, AFolderRemovedBeforeItIsOpenedLeavesEverythingOnTheOldFolder) {
  temp.MakeFolder("gone");
  temp.MakeFile("a.wav");
  Start();
  int gone = IndexOf("gone");
  ASSERT_NE(gone, -1);
  std::filesystem::remove(temp / "gone");
  dirs->Open(gone);
  EXPECT_EQ(dirs->Directory(), temp.Path());
  EXPECT_EQ(CurrentDirectory(), temp.Path());
  EXPECT_EQ(IndexOf("gone"), -1);
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
}

TEST_F(PosixBrowser, AFolderThatCannotBeEnteredLeavesTheCurrentDirectory) {
  if (geteuid() == 0)
    GTEST_SKIP() << "the superuser enters every folder";
  temp.MakeFolder("locked");
  ASSERT_EQ(chmod((temp / "locked").c_str(), 0), 0);
  Start();
  dirs->Open(IndexOf("locked"));
  EXPECT_EQ(CurrentDirectory(), temp.Path());
  chmod((temp / "locked").c_str(), 0700);
}

TEST_F(PosixBrowser, TheDriveBoxSelectsTheLongestMountPrefix) {
  Start();
  std::vector<std::string> keys;
  for (const DriveEntry& entry : drives->Items())
    keys.push_back(entry.key);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.front(), "/");
  ASSERT_GE(drives->ItemIndex(), 0);
  EXPECT_EQ(drives->Drive(), LongestMountPrefix(keys, temp.Path()));
  const DriveEntry& chosen = drives->Items()[drives->ItemIndex()];
  EXPECT_EQ(chosen.text.substr(0, chosen.key.size() + 2), chosen.key + " [");
  EXPECT_EQ(chosen.text.back(), ']');
}

TEST_F(PosixBrowser, EnteringADriveGoesToTheFolderLastOpenedOnIt) {
  temp.MakeFolder("a");
  Start();
  std::string drive = fs->DriveOf(temp / "a");
  ASSERT_FALSE(drive.empty());
  ASSERT_TRUE(fs->ChangeDirectory(temp / "a"));
  ASSERT_EQ(chdir("/"), 0);  // moved by someone else: the record stays
  ASSERT_TRUE(fs->SetCurrentDrive(drive));
  EXPECT_EQ(CurrentDirectory(), temp / "a");
  // A recorded folder that went away leaves the mount point itself.
  std::filesystem::remove(temp / "a");
  ASSERT_TRUE(fs->SetCurrentDrive(drive));
  EXPECT_EQ(CurrentDirectory(), drive);
}

TEST_F(PosixBrowser, AFileListInTheRootJoinsWithOneSlash) {
  testing::FakeMachine machine(kPosixPathStyle);
  machine.AddVolume("/", {.caseSensitive = true});
  machine.AddFile("/a.mp2");
  machine.AddFile("/x/Rec/b.mp2");
  ASSERT_TRUE(machine.ChangeDirectory("/"));
  TFileListBox list("FLB1", Rect{}, machine);
  list.SetMask("*.mp2;*.mpa;*.wav");
  list.SetItemIndex(0);
  EXPECT_EQ(list.FileName(), "/a.mp2");
  list.SetDirectory("/x/Rec");
  list.SetItemIndex(0);
  EXPECT_EQ(list.FileName(), "/x/Rec/b.mp2");
}

}  // namespace
}  // namespace vorzik::ui
