#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
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

}  // namespace
}  // namespace vorzik
