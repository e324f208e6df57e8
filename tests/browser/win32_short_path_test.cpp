// Names outside the ANSI code page: the browser hands the program their short
// forms, which the ANSI functions and the tools can open; names that fit the
// code page stay as they are, byte for byte.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "pipeline/path_safety.h"
#include "ui/browser/ansi_paths_win32.h"
#include "ui/browser/browser.h"

namespace vorzik::ui {
namespace {

std::wstring Wide(const std::string& ansi) {
  wchar_t buffer[MAX_PATH * 2];
  int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, buffer, MAX_PATH * 2);
  return std::wstring(buffer, n > 0 ? n - 1 : 0);
}

bool ExistsA(const std::string& path, bool directory) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && ((a & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

// A fresh folder with an ANSI name under the temporary folder, removed at the
// end, with the current directory put back.
class Win32ShortPaths : public ::testing::Test {
 protected:
  Win32ShortPaths() {
    ::GetCurrentDirectoryW(MAX_PATH, saved_);
    char temp[MAX_PATH], made[MAX_PATH], full[MAX_PATH];
    DWORD length = ::GetTempPathA(sizeof temp, temp);
    ::GetTempFileNameA(std::string(temp, length).c_str(), "vzs", 0, made);
    ::DeleteFileA(made);
    ::CreateDirectoryA(made, nullptr);
    ::GetFullPathNameA(made, sizeof full, full, nullptr);
    folder_ = full;
  }
  ~Win32ShortPaths() override {
    ::SetCurrentDirectoryW(saved_);
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(Wide(folder_)), ignored);
  }

  void MakeFile(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }

  wchar_t saved_[MAX_PATH] = {};
  std::string folder_;
};

// Korean, which code page 932 cannot write; Japanese, which it can.
const std::wstring kKorean = L"\uB178\uB798.wav";    // 노래.wav
const std::wstring kJapanese = L"\u97F3\u697D.wav";  // 音楽.wav

TEST_F(Win32ShortPaths, AFileNameOutsideTheCodePageIsListedByItsShortForm) {
  ASSERT_EQ(::GetACP(), 932u);
  MakeFile(Wide(folder_) + L"\\" + kKorean);
  MakeFile(Wide(folder_) + L"\\" + kJapanese);
  ASSERT_TRUE(::SetCurrentDirectoryA(folder_.c_str()));
  auto fs = MakeNativeBrowserQueries();
  TFileListBox list("FLB1", Rect{}, *fs);
  list.SetMask("*.mp2;*.mpa;*.wav");
  ASSERT_EQ(list.Items().size(), 2u);

  const std::string japanese = "\x89\xB9\x8A\x79.wav";  // 音楽.wav in Shift-JIS
  std::string shortName;
  for (int i = 0; i < list.Count(); ++i) {
    // Shown as stored; the batch's paths carry the short form.
    if (list.Items()[i] != japanese) {
      shortName = list.Items()[i];
      EXPECT_EQ(list.ShownName(i), "\xEB\x85\xB8\xEB\x9E\x98.wav");  // 노래.wav
    } else {
      EXPECT_EQ(list.ShownName(i), "\xE9\x9F\xB3\xE6\xA5\xBD.wav");  // 音楽.wav
    }
  }
  ASSERT_FALSE(shortName.empty()) << "the Japanese name is listed as it is";
  EXPECT_EQ(shortName.find('?'), std::string::npos) << shortName;
  ASSERT_GE(shortName.size(), 4u);
  EXPECT_EQ(shortName.substr(shortName.size() - 4), ".WAV") << "a short name is upper case";
  EXPECT_TRUE(ExistsA(folder_ + "\\" + shortName, false)) << "the ANSI functions open it";
  EXPECT_TRUE(ExistsA(folder_ + "\\" + japanese, false));
}

TEST_F(Win32ShortPaths, AFolderOutsideTheCodePageBecomesItsShortForm) {
  const std::wstring korean = Wide(folder_) + L"\\\uD55C\uAD6D";  // 한국
  ASSERT_TRUE(::CreateDirectoryW(korean.c_str(), nullptr));
  MakeFile(korean + L"\\a.wav");
  ASSERT_TRUE(::SetCurrentDirectoryW(korean.c_str()));

  auto fs = MakeNativeBrowserQueries();
  const std::string current = fs->CurrentDirectory();
  EXPECT_EQ(current.find('?'), std::string::npos) << current;
  EXPECT_TRUE(ExistsA(current, true)) << current;
  EXPECT_TRUE(ExistsA(current + "\\a.wav", false));

  // The folder above lists the Korean folder by the same short name.
  auto entries = fs->ListDirectory(folder_);
  ASSERT_TRUE(entries.has_value());
  const std::string expected = current.substr(current.rfind('\\') + 1);
  bool listed = false;
  for (const DirectoryEntry& entry : *entries)
    listed = listed || (entry.directory && entry.name == expected);
  EXPECT_TRUE(listed) << expected;
}

TEST_F(Win32ShortPaths, AFolderInsideTheCodePageStaysAsItIs) {
  const std::string japanese = folder_ + "\\\x89\xB9\x8A\x79";  // 音楽
  ASSERT_TRUE(::CreateDirectoryA(japanese.c_str(), nullptr));
  ASSERT_TRUE(::SetCurrentDirectoryA(japanese.c_str()));
  EXPECT_EQ(MakeNativeBrowserQueries()->CurrentDirectory(), japanese);
}

std::optional<std::wstring> NoShortForm(const std::wstring&) {
  return std::nullopt;
}

// A volume that keeps no short names: the name reaches the program with "?"
// in place of what the code page lost, and the pipeline refuses it before any
// tool runs, so the file counts as failed instead of handing a tool a name
// that opens nothing, or, once expanded as a wildcard, another file.
TEST(Win32AnsiPaths, WithoutAShortFormTheFileCountsAsFailed) {
  ASSERT_EQ(::GetACP(), 932u);
  const std::string fromPath = ToolPathOf(L"C:\\rec\\" + kKorean, NoShortForm);
  EXPECT_NE(fromPath.find('?'), std::string::npos) << fromPath;

  WIN32_FIND_DATAW found = {};
  kKorean.copy(found.cFileName, MAX_PATH - 1);
  const std::string fromListing = ToolNameOf(found);
  EXPECT_NE(fromListing.find('?'), std::string::npos) << fromListing;

  for (const std::string& path : {fromPath, "C:\\rec\\" + fromListing}) {
    EXPECT_NE(ToolPathFault(path, kWindowsPathStyle), PathFault::None) << path;
  }
}

// A short form is taken only when it fits the code page itself; a path that
// fits is never replaced by one.
TEST(Win32AnsiPaths, TheShortFormIsUsedOnlyWhereThePathDoesNotFit) {
  auto shortForm = [](const std::wstring&) -> std::optional<std::wstring> {
    return std::wstring(L"C:\\REC\\9B2F~1.WAV");
  };
  EXPECT_EQ(ToolPathOf(L"C:\\rec\\" + kKorean, shortForm), "C:\\REC\\9B2F~1.WAV");
  EXPECT_EQ(ToolPathOf(L"C:\\rec\\" + kJapanese, shortForm), "C:\\rec\\\x89\xB9\x8A\x79.wav");

  WIN32_FIND_DATAW found = {};
  kKorean.copy(found.cFileName, MAX_PATH - 1);
  std::wstring(L"9B2F~1.WAV").copy(found.cAlternateFileName, 13);
  EXPECT_EQ(ToolNameOf(found), "9B2F~1.WAV");
  EXPECT_EQ(ToolPathFault("C:\\REC\\9B2F~1.WAV", kWindowsPathStyle), PathFault::None);
}

}  // namespace
}  // namespace vorzik::ui
