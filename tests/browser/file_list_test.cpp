#include <gtest/gtest.h>

#include "tests/support/fake_machine.h"
#include "ui/browser/browser.h"

namespace vorzik::ui {
namespace {

using testing::BuildWindowsMachine;
using testing::FakeMachine;

constexpr char kMask[] = "*.mp2;*.mpa;*.wav";

class FileList : public ::testing::Test {
 protected:
  FileList() { BuildWindowsMachine(machine); }

  // A file list started in folder with the window's mask.
  std::unique_ptr<TFileListBox> ListIn(const std::string& folder) {
    EXPECT_TRUE(machine.ChangeDirectory(folder));
    auto list = std::make_unique<TFileListBox>("FLB1", Rect{154, 208, 247, 121}, machine);
    list->SetMask(kMask);
    return list;
  }

  FakeMachine machine;
};

struct JoinCase {
  std::string folder;
  std::string name;
  std::string fullPath;
};

TEST_F(FileList, FullPathJoinsFolderAndEntryWithOneSeparator) {
  // 表 ends in the byte 0x5C, which is no backslash there.
  const JoinCase cases[] = {
      {"D:\\", "a.mp2", "D:\\a.mp2"},
      {"D:\\rec", "a.mp2", "D:\\rec\\a.mp2"},
      {"D:\\\x95\x5c", "a.mp2", "D:\\\x95\x5c\\a.mp2"},
      {"\\\\server\\share\\dir", "a.mp2", "\\\\server\\share\\dir\\a.mp2"},
  };
  for (const auto& c : cases) {
    machine.AddFile(JoinPath(c.folder, c.name, kWindowsPathStyle));
    auto list = ListIn(c.folder);
    EXPECT_EQ(list->Directory(), c.folder);
    list->SetItemIndex(0);
    EXPECT_EQ(list->FileName(), c.fullPath);
  }
}

TEST_F(FileList, ListsOnlyPlainMatchingFilesAsStored) {
  machine.AddFile("D:\\rec\\X.WAV");
  machine.AddFolder("D:\\rec\\y.wav");
  machine.AddFile("D:\\rec\\z.mp2", {.hidden = true});
  machine.AddFile("D:\\rec\\b.mpa", {.system = true});
  machine.AddFile("D:\\rec\\label.wav", {.volumeLabel = true});
  machine.AddFile("D:\\rec\\notes.txt");
  machine.AddFile("D:\\rec\\old.mp2");  // read-only and archived files carry no flag here
  auto list = ListIn("D:\\rec");
  EXPECT_EQ(list->Items(), (std::vector<std::string>{"old.mp2", "X.WAV"}));
  list->SetItemIndex(1);
  EXPECT_EQ(list->FileName(), "D:\\rec\\X.WAV");
}

TEST_F(FileList, PatternsInterleaveInOneOrderIgnoringCase) {
  for (const char* name : {"b.WAV", "a.mp2", "C.mpa"})
    machine.AddFile(std::string("D:\\rec\\") + name);
  auto list = ListIn("D:\\rec");
  EXPECT_EQ(list->Items(), (std::vector<std::string>{"a.mp2", "b.WAV", "C.mpa"}));
  EXPECT_EQ(list->ItemIndex(), -1);
}

struct CollationCase {
  const PathStyle* style;
  std::vector<std::string> stored;
  std::vector<std::string> listed;
};

TEST(FileListCollation, SortsByTheUsersCollationBeyondAscii) {
  // Ｂ and ａ in Shift-JIS: 82 61 and 82 81, so bytes put Ｂ first.
  const CollationCase cases[] = {
      {&kPosixPathStyle,
       {"\xc3\x84"
        "b.wav",
        "\xc3\xa4"
        "a.wav",
        "\xef\xbc\xa2.wav", "\xef\xbd\x81.wav"},
       {"\xc3\xa4"
        "a.wav",
        "\xc3\x84"
        "b.wav",
        "\xef\xbd\x81.wav", "\xef\xbc\xa2.wav"}},
      {&kWindowsPathStyle,
       {"\x82\x61.wav", "b.WAV", "\x82\x81.wav", "A.mp2"},
       {"A.mp2", "b.WAV", "\x82\x81.wav", "\x82\x61.wav"}},
  };
  for (const auto& c : cases) {
    FakeMachine machine(*c.style);
    const std::string folder = c.style->driveLetters ? "D:\\rec" : "/rec";
    machine.AddVolume(c.style->driveLetters ? "d" : "/", {});
    for (const std::string& name : c.stored)
      machine.AddFile(JoinPath(folder, name, *c.style));
    machine.SetCollation(testing::FakeLocaleCollation(*c.style));
    ASSERT_TRUE(machine.ChangeDirectory(folder));
    TFileListBox list("FLB1", Rect{}, machine);
    list.SetMask(kMask);
    EXPECT_EQ(list.Items(), c.listed) << c.style->separator;
  }
}

TEST_F(FileList, SelectingPastTheEndKeepsTheLastSelection) {
  for (const char* name : {"a.mp2", "b.mp2", "c.mp2"})
    machine.AddFile(std::string("D:\\rec\\") + name);
  auto list = ListIn("D:\\rec");
  int changes = 0;
  list->OnChange = [&](Control&) { ++changes; };
  list->SetItemIndex(2);
  list->SetItemIndex(3);  // the program's path
  EXPECT_EQ(list->ItemIndex(), 2);
  list->Select(3);  // the user's
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(list->FileName(), "D:\\rec\\c.mp2");
}

TEST_F(FileList, AnEmptyListSelectsNothing) {
  auto list = ListIn("D:\\rec");
  list->SetItemIndex(0);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(list->FileName(), "");
}

TEST_F(FileList, EmptyMaskOrPatternFindsNothing) {
  machine.AddFile("D:\\rec\\a.wav");
  auto list = ListIn("D:\\rec");
  list->SetMask("");
  EXPECT_EQ(list->Count(), 0);
  list->SetMask(";*.wav;");
  EXPECT_EQ(list->Items(), (std::vector<std::string>{"a.wav"}));
}

TEST_F(FileList, ProgramSelectionScrollsWithoutAChangeEvent) {
  for (int i = 0; i < 30; ++i)
    machine.AddFile("D:\\rec\\" + std::to_string(100 + i) + ".wav");
  auto list = ListIn("D:\\rec");
  int changes = 0;
  list->OnChange = [&](Control&) { ++changes; };
  std::vector<Property> seen;
  list->Subscribe([&](Control&, Property what) { seen.push_back(what); });
  list->SetItemIndex(25);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(list->ScrollTarget(), 25);
  EXPECT_EQ(seen, (std::vector<Property>{Property::ItemIndex, Property::Scroll}));
  list->Select(3);  // the user's click
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list->ItemIndex(), 3);
}

TEST_F(FileList, RefusesTheUserWhenSwitchedOff) {
  machine.AddFile("D:\\rec\\a.wav");
  machine.AddFile("D:\\rec\\b.wav");
  auto list = ListIn("D:\\rec");
  int keys = 0;
  list->OnKeyPress = [&](Control&, char&) { ++keys; };
  list->SetEnabled(false);
  list->Select(1);
  list->KeyPress('\r');
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(keys, 0);
  list->SetItemIndex(1);  // the batch still walks it
  EXPECT_EQ(list->FileName(), "D:\\rec\\b.wav");
}

// Names that arrive in ascending order, so entry i is inserted at position i.
void AddAscending(FakeMachine& machine, int count) {
  for (int i = 0; i < count; ++i)
    machine.AddFile("D:\\rec\\" + std::to_string(1000 + i) + ".wav");
}

TEST_F(FileList, HourglassFromTheEntryAtPosition100ToTheEndOfReading) {
  AddAscending(machine, 100);
  auto list = ListIn("D:\\rec");
  std::vector<TCursor> cursors;
  list->Subscribe([&](Control&, Property what) {
    if (what == Property::Cursor)
      cursors.push_back(list->Cursor());
  });
  list->Update();
  EXPECT_TRUE(cursors.empty());
  machine.AddFile("D:\\rec\\2000.wav");
  list->Update();
  EXPECT_EQ(cursors, (std::vector<TCursor>{TCursor::crHourGlass, TCursor::crDefault}));
  EXPECT_EQ(list->Count(), 101);
}

TEST_F(FileList, AFullListStopsWithItsErrorAndKeepsWhatItHas) {
  // The patterns are read one after the other, each over the whole folder.
  const struct {
    std::vector<std::string> files;  // in the order the folder gives them
    std::vector<std::string> kept;
  } cases[] = {
      {{"e.wav", "d.wav", "c.wav", "b.wav", "a.wav"}, {"c.wav", "d.wav", "e.wav"}},
      {{"a.wav", "b.mp2", "c.mpa", "d.mp2"}, {"b.mp2", "c.mpa", "d.mp2"}},
      // Full within the first pattern, and the last one matches nothing.
      {{"b.mp2", "d.mp2", "e.mp2", "f.mp2", "c.mpa"}, {"b.mp2", "d.mp2", "e.mp2"}},
  };
  for (const auto& c : cases) {
    FakeMachine fresh;
    BuildWindowsMachine(fresh);
    for (const std::string& name : c.files)
      fresh.AddFile("D:\\rec\\" + name);
    ASSERT_TRUE(fresh.ChangeDirectory("D:\\"));
    TFileListBox list("FLB1", Rect{154, 208, 247, 121}, fresh);
    list.SetMask(kMask);
    list.SetCapacity(3);
    std::vector<std::string> errors;
    list.OnError = [&](Control&, const std::string& message) { errors.push_back(message); };
    list.SetDirectory("D:\\rec");
    EXPECT_EQ(errors, (std::vector<std::string>{"行を挿入できません"})) << c.files[0];
    EXPECT_EQ(list.Items(), c.kept) << c.files[0];
    EXPECT_EQ(list.Cursor(), TCursor::crDefault);
  }
}

TEST_F(FileList, TakingTheSameFolderInAnotherCaseReadsNothing) {
  machine.AddFile("D:\\rec\\a.wav");
  auto list = ListIn("D:\\rec");
  int before = machine.listings["D:\\rec"];
  list->SetDirectory("d:\\REC");
  EXPECT_EQ(machine.listings["D:\\rec"], before);
  EXPECT_EQ(list->Directory(), "D:\\rec");
}

TEST_F(FileList, ReadingMakesItsFolderTheCurrentDirectory) {
  machine.AddFolder("D:\\rec\\in");
  auto list = ListIn("D:\\rec");
  list->SetDirectory("D:\\rec\\in");
  EXPECT_EQ(machine.CurrentDirectory(), "D:\\rec\\in");
  EXPECT_EQ(list->Directory(), "D:\\rec\\in");
}

}  // namespace
}  // namespace vorzik::ui
