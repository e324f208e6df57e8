#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "pipeline/file_system.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

using testing::TempDir;
using testing::WriteFile;

class Win32FileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileSystem> fs_ = MakeNativeFileSystem();
  TempDir dir_;
  std::string folder_ = dir_.path() + "\\";
};

TEST_F(Win32FileSystemTest, CreateFolderOnlyOnce) {
  EXPECT_TRUE(fs_->CreateFolder(folder_ + "EtcEnc"));
  EXPECT_FALSE(fs_->CreateFolder(folder_ + "EtcEnc"));
  EXPECT_TRUE(::GetFileAttributesA((folder_ + "EtcEnc").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(fs_->CreateFolder(folder_ + "no\\such\\parent"));
}

TEST_F(Win32FileSystemTest, DeleteFileRemovesFilesOnly) {
  WriteFile(folder_ + "a_TMP1.wav", "data");
  EXPECT_TRUE(fs_->DeleteFile(folder_ + "a_TMP1.wav"));
  EXPECT_FALSE(fs_->Stamp(folder_ + "a_TMP1.wav").exists);
  EXPECT_FALSE(fs_->DeleteFile(folder_ + "a_TMP1.wav"));
  ASSERT_TRUE(fs_->CreateFolder(folder_ + "sub"));
  EXPECT_FALSE(fs_->DeleteFile(folder_ + "sub"));
}

TEST_F(Win32FileSystemTest, StampOfMissingFileAndOfFolderIsEmpty) {
  EXPECT_EQ(fs_->Stamp(folder_ + "missing.wav"), FileStamp{});
  ASSERT_TRUE(fs_->CreateFolder(folder_ + "y.wav"));
  EXPECT_EQ(fs_->Stamp(folder_ + "y.wav"), FileStamp{});
}

TEST_F(Win32FileSystemTest, StampCarriesSizeTimeAndIdentity) {
  WriteFile(folder_ + "a.wav", "12345");
  WriteFile(folder_ + "b.wav", "12345");
  FileStamp a = fs_->Stamp(folder_ + "a.wav");
  FileStamp b = fs_->Stamp(folder_ + "b.wav");
  ASSERT_TRUE(a.exists);
  EXPECT_EQ(a.size, 5);
  EXPECT_NE(a.identity, 0u);
  EXPECT_NE(a.identity, b.identity) << "two files, two identities";
  EXPECT_EQ(fs_->Stamp(folder_ + "a.wav"), a) << "an untouched file keeps its stamp";

  // Nanoseconds since 1970, like the POSIX side.
  auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                 std::chrono::system_clock::now().time_since_epoch())
                 .count();
  EXPECT_LT(std::llabs(now - a.modifiedNs), std::int64_t{3600} * 1'000'000'000);

  WriteFile(folder_ + "a.wav", "1234567");
  FileStamp rewritten = fs_->Stamp(folder_ + "a.wav");
  EXPECT_EQ(rewritten.size, 7);
  EXPECT_EQ(rewritten.identity, a.identity) << "the same file, written again";
}

// Identities tell whether two paths name one file or folder, hard links and
// the folder through its own trailing "." included.
TEST_F(Win32FileSystemTest, IdentityFollowsNamesToTheirFile) {
  WriteFile(folder_ + "a.wav", "a");
  WriteFile(folder_ + "b.wav", "b");
  ASSERT_TRUE(fs_->CreateFolder(folder_ + "EtcEnc"));
  ASSERT_TRUE(
      ::CreateHardLinkA((folder_ + "EtcEnc\\a.mp2").c_str(), (folder_ + "a.wav").c_str(), nullptr));
  FileIdentity a = fs_->Identify(folder_ + "a.wav");
  ASSERT_TRUE(a.exists);
  EXPECT_TRUE(fs_->Identify(folder_ + "EtcEnc\\a.mp2").SameAs(a));
  EXPECT_FALSE(fs_->Identify(folder_ + "b.wav").SameAs(a));
  EXPECT_TRUE(fs_->Identify(folder_ + ".").SameAs(fs_->Identify(dir_.path())));
  EXPECT_TRUE(fs_->Identify(folder_ + "EtcEnc\\.").exists);
  EXPECT_FALSE(fs_->Identify(folder_ + "EtcEnc\\.").SameAs(fs_->Identify(folder_ + ".")));
  EXPECT_FALSE(fs_->Identify(folder_ + "missing.wav").exists);
  EXPECT_FALSE(fs_->Identify(folder_ + "missing.wav").SameAs(fs_->Identify(folder_ + "none")));
}

std::wstring Wide(const std::string& ansi) {
  wchar_t buffer[MAX_PATH * 2];
  int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, buffer, MAX_PATH * 2);
  return std::wstring(buffer, n > 0 ? n - 1 : 0);
}

void MakeWide(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
}

bool ExistsWide(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(Win32FileSystemTest, AResultOfAShortFormSourceTakesTheSourcesOwnName) {
  ASSERT_EQ(::GetACP(), 932u);
  const std::wstring folder = Wide(folder_);
  MakeWide(folder + L"\uD55C\uAD6D.wav");  // 한국.wav, which code page 932 cannot write
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_GT(::GetShortPathNameW((folder + L"\uD55C\uAD6D.wav").c_str(), shortPath, MAX_PATH), 0u);
  std::wstring shortName(shortPath);
  shortName = shortName.substr(shortName.rfind(L'\\') + 1);
  const std::wstring shortBase = shortName.substr(0, shortName.rfind(L'.'));
  ASSERT_TRUE(fs_->CreateFolder(folder_ + "EtcEnc"));
  std::string source(shortPath, shortPath + wcslen(shortPath));       // ASCII: a short form
  EXPECT_EQ(fs_->OwnNameOf(source), "\xED\x95\x9C\xEA\xB5\xAD.wav");  // in UTF-8
  // An encoded result, or the last stage file when nothing was encoded.
  for (const wchar_t* suffix : {L".mp2", L"_TMP3.wav"}) {
    const std::wstring result = folder + L"EtcEnc\\" + shortBase + suffix;
    const std::wstring named = folder + L"EtcEnc\\\uD55C\uAD6D" + suffix;
    for (int run = 0; run < 2; ++run) {  // the second replaces the first result
      MakeWide(result);
      std::string output(result.begin(), result.end());
      EXPECT_TRUE(fs_->NameAfterSource(source, output)) << run;
      EXPECT_TRUE(ExistsWide(named)) << run;
      EXPECT_FALSE(ExistsWide(result)) << run;
    }
  }

  // A name that fits the code page is the result's name already.
  WriteFile(folder_ + "\x89\xB9.wav", "");  // 音.wav
  EXPECT_EQ(fs_->OwnNameOf(folder_ + "\x89\xB9.wav"), std::nullopt);
  WriteFile(folder_ + "EtcEnc\\\x89\xB9.mp2", "");
  EXPECT_FALSE(fs_->NameAfterSource(folder_ + "\x89\xB9.wav", folder_ + "EtcEnc\\\x89\xB9.mp2"));
  EXPECT_TRUE(fs_->Stamp(folder_ + "EtcEnc\\\x89\xB9.mp2").exists);
}

}  // namespace
}  // namespace vorzik
