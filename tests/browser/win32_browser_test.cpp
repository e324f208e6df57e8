#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/browser/browser.h"

namespace vorzik::ui {
namespace {

std::string Current() {
  char buffer[MAX_PATH];
  DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, length);
}

// A fresh folder under the user's temporary folder, removed at the end, with
// the current directory put back.
class Win32Browser : public ::testing::Test {
 protected:
  Win32Browser() : saved_(Current()) {
    char temp[MAX_PATH];
    DWORD length = ::GetTempPathA(sizeof temp, temp);
    char made[MAX_PATH];
    ::GetTempFileNameA(std::string(temp, length).c_str(), "vzb", 0, made);
    ::DeleteFileA(made);
    ::CreateDirectoryA(made, nullptr);
    char full[MAX_PATH];
    ::GetFullPathNameA(made, sizeof full, full, nullptr);
    folder_ = full;
  }
  ~Win32Browser() override {
    ::SetCurrentDirectoryA(saved_.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void MakeFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    std::ofstream(folder_ + "\\" + name) << "x";
    ::SetFileAttributesA((folder_ + "\\" + name).c_str(), attributes);
  }

  std::string saved_;
  std::string folder_;
};

TEST_F(Win32Browser, SortsByTheUsersLocaleIgnoringCaseAsThePlatformsListsDo) {
  ASSERT_EQ(::GetACP(), 932u);
  // Full-width Ｂ and ａ in Shift-JIS: 82 61 and 82 81, so bytes put Ｂ first.
  const std::string fullB = "\x82\x61.wav", fullA = "\x82\x81.wav";
  for (const std::string& name :
       {fullB, std::string("C.mpa"), fullA, std::string("b.WAV"), std::string("a.mp2")})
    MakeFile(name);
  ASSERT_TRUE(::SetCurrentDirectoryA(folder_.c_str()));
  auto fs = MakeNativeBrowserQueries();
  TFileListBox list("FLB1", Rect{}, *fs);
  list.SetMask("*.mp2;*.mpa;*.wav");
  const std::vector<std::string>& items = list.Items();
  ASSERT_EQ(items.size(), 5u);
  auto at = [&items](const std::string& name) {
    return std::find(items.begin(), items.end(), name) - items.begin();
  };
  EXPECT_LT(at("a.mp2"), at("b.WAV"));
  EXPECT_LT(at("b.WAV"), at("C.mpa"));
  EXPECT_LT(at(fullA), at(fullB));
  EXPECT_EQ(fs->CompareNames("\x82\x81", "\x82\x60"), 0) << "ａ and Ａ: case is ignored";
}

TEST_F(Win32Browser, ListsPlainFilesOfTheFolderJoinedByOneBackslash) {
  MakeFile("b.WAV");
  MakeFile("a.mp2", FILE_ATTRIBUTE_READONLY);
  MakeFile("z.mp2", FILE_ATTRIBUTE_HIDDEN);
  MakeFile("s.mpa", FILE_ATTRIBUTE_SYSTEM);
  ::CreateDirectoryA((folder_ + "\\y.wav").c_str(), nullptr);
  ASSERT_TRUE(::SetCurrentDirectoryA(folder_.c_str()));
  auto fs = MakeNativeBrowserQueries();
  TFileListBox list("FLB1", Rect{}, *fs);
  list.SetMask("*.mp2;*.mpa;*.wav");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a.mp2", "b.WAV"}));
  list.SetItemIndex(1);
  EXPECT_EQ(list.FileName(), folder_ + "\\b.WAV");
  ::SetFileAttributesA((folder_ + "\\a.mp2").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32Browser, OpeningASubfolderMakesItTheCurrentDirectory) {
  ::CreateDirectoryA((folder_ + "\\in").c_str(), nullptr);
  MakeFile("in\\c.wav");
  ASSERT_TRUE(::SetCurrentDirectoryA(folder_.c_str()));
  auto fs = MakeNativeBrowserQueries();
  TDriveComboBox drives("DCB1", Rect{}, *fs);
  TDirectoryListBox dirs("DLB1", Rect{}, *fs);
  TFileListBox files("FLB1", Rect{}, *fs);
  files.SetMask("*.mp2;*.mpa;*.wav");
  drives.DirList = &dirs;
  dirs.FileList = &files;
  EXPECT_EQ(drives.Drive(), std::string(1, static_cast<char>(std::tolower(folder_[0]))));
  ASSERT_GE(drives.ItemIndex(), 0);
  EXPECT_EQ(drives.Items()[drives.ItemIndex()].text.substr(0, 3), drives.Drive() + ": ");
  ASSERT_EQ(dirs.Items().back().name, "in");
  dirs.Open(static_cast<int>(dirs.Items().size()) - 1);
  EXPECT_EQ(Current(), folder_ + "\\in");
  EXPECT_EQ(files.Items(), (std::vector<std::string>{"c.wav"}));
}

}  // namespace
}  // namespace vorzik::ui
