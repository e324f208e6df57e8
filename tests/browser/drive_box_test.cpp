#include <gtest/gtest.h>

#include "tests/support/fake_machine.h"
#include "ui/browser/browser.h"

namespace vorzik::ui {
namespace {

using testing::BuildWindowsMachine;
using testing::FakeMachine;

class DriveBox : public ::testing::Test {
 protected:
  DriveBox() { BuildWindowsMachine(machine); }

  void StartIn(const std::string& folder) {
    ASSERT_TRUE(machine.ChangeDirectory(folder));
    drives = std::make_unique<TDriveComboBox>("DCB1", Rect{8, 208, 143, 18}, machine);
    dirs = std::make_unique<TDirectoryListBox>("DLB1", Rect{8, 228, 143, 100}, machine);
    files = std::make_unique<TFileListBox>("FLB1", Rect{154, 208, 247, 121}, machine);
    files->SetMask("*.mp2;*.mpa;*.wav");
    drives->DirList = dirs.get();
    dirs->FileList = files.get();
  }

  int IndexOf(const std::string& key) const {
    for (std::size_t i = 0; i < drives->Items().size(); ++i) {
      if (drives->Items()[i].key == key)
        return static_cast<int>(i);
    }
    return -1;
  }

  FakeMachine machine;
  std::unique_ptr<TDriveComboBox> drives;
  std::unique_ptr<TDirectoryListBox> dirs;
  std::unique_ptr<TFileListBox> files;
};

TEST(DriveMask, BitZeroIsDriveA) {
  EXPECT_EQ(DriveKeysFromMask(0b1101), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(DriveKeysFromMask(1UL << 25), (std::vector<std::string>{"z"}));
}

TEST_F(DriveBox, EntriesByDriveTypeWithLabelsInLowerCase) {
  StartIn("D:\\rec");
  std::vector<std::string> texts;
  for (const DriveEntry& entry : drives->Items())
    texts.push_back(entry.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "a:",  // removable: no label read
                       "c: [system]", "d: [data]",
                       "e: []",                // CD-ROM without medium
                       "f: []",                // label cannot be read
                       "y: [backup]",          // remote name cannot be read
                       "z: \\\\server\\share"  // q: of unknown type has none
                   }));
}

TEST_F(DriveBox, LabelsAreReadWithoutTheSystemsErrorBoxes) {
  StartIn("D:\\rec");
  EXPECT_EQ(machine.systemErrorBoxes, 0);
  EXPECT_EQ(machine.errorMode, ErrorMode::Default);
}

TEST_F(DriveBox, StartsOnTheDriveOfTheCurrentDirectory) {
  StartIn("D:\\rec");
  EXPECT_EQ(drives->Drive(), "d");
  EXPECT_EQ(drives->ItemIndex(), IndexOf("d"));
  StartIn("\\\\server\\share");
  EXPECT_EQ(drives->Drive(), "");
  EXPECT_EQ(drives->ItemIndex(), -1);
}

TEST_F(DriveBox, ChoosingADriveGoesToItsRecordedFolder) {
  machine.AddFile("C:\\work\\a.wav");
  machine.RecordFolder("c", "C:\\work");
  StartIn("D:\\rec");
  drives->Choose(IndexOf("c"));
  EXPECT_EQ(drives->Drive(), "c");
  EXPECT_EQ(dirs->Directory(), "C:\\work");
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\work");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
  // Back on d:, the folder last open there.
  drives->Choose(IndexOf("d"));
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
}

TEST_F(DriveBox, ChoosingADriveWithoutRecordedFolderGoesToItsRoot) {
  machine.AddFile("C:\\x.mp2");
  StartIn("D:\\rec");
  drives->Choose(IndexOf("c"));
  EXPECT_EQ(dirs->Directory(), "C:\\");
  EXPECT_EQ(files->FileName(), "");
  files->SetItemIndex(0);
  EXPECT_EQ(files->FileName(), "C:\\x.mp2");
}

TEST_F(DriveBox, ADriveWithoutMediumLeavesTheListsWhereTheyWere) {
  machine.AddFile("D:\\rec\\a.wav");
  StartIn("D:\\rec");
  drives->Choose(IndexOf("a"));
  EXPECT_EQ(drives->Drive(), "a");
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
  EXPECT_EQ(files->Directory(), "D:\\rec");
  EXPECT_EQ(files->Items(), (std::vector<std::string>{"a.wav"}));
  EXPECT_EQ(machine.CurrentDirectory(), "D:\\rec");
  // The same drive again does nothing until another one was chosen.
  int changes = machine.driveChanges;
  drives->Choose(IndexOf("a"));
  EXPECT_EQ(machine.driveChanges, changes);
  drives->Choose(IndexOf("c"));
  drives->Choose(IndexOf("a"));
  EXPECT_EQ(machine.driveChanges, changes + 2);
}

TEST_F(DriveBox, TheFolderListsOwnDriveIsNotEnteredAgain) {
  StartIn("D:\\rec");
  drives->Choose(IndexOf("a"));  // fails: the lists stay on d:
  drives->Choose(IndexOf("d"));
  EXPECT_EQ(drives->Drive(), "d");
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
  EXPECT_EQ(machine.driveChanges, 1);
}

TEST_F(DriveBox, RefusesTheUserWhenSwitchedOff) {
  StartIn("D:\\rec");
  drives->SetEnabled(false);
  drives->Choose(IndexOf("c"));
  EXPECT_EQ(drives->Drive(), "d");
  EXPECT_EQ(dirs->Directory(), "D:\\rec");
}

}  // namespace
}  // namespace vorzik::ui
