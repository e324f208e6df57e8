#include "pipeline/path_style.h"

#include <gtest/gtest.h>

namespace vorzik {
namespace {

// "表" is 0x95 0x5C in Shift-JIS: its second byte has the backslash's code.
const std::string kHyou = "\x95\x5C";
// "あ" in UTF-8 ends in 0x82, a Shift-JIS lead byte.
const std::string kA = "\xE3\x81\x82";

TEST(PathStyle, JoinAddsExactlyOneSeparator) {
  struct Case {
    const PathStyle* style;
    std::string folder, name, joined;
  } cases[] = {
      {&kWindowsPathStyle, "D:\\", "a.mp2", "D:\\a.mp2"},
      {&kWindowsPathStyle, "D:\\rec", "a.mp2", "D:\\rec\\a.mp2"},
      {&kWindowsPathStyle, "D:\\" + kHyou, "a.mp2", "D:\\" + kHyou + "\\a.mp2"},
      {&kWindowsPathStyle, "\\\\server\\share\\", "a.wav", "\\\\server\\share\\a.wav"},
      {&kPosixPathStyle, "/", "a.mp2", "/a.mp2"},
      {&kPosixPathStyle, "/x/rec", "a.mp2", "/x/rec/a.mp2"},
      {&kPosixPathStyle, "/x/" + kA, "a.mp2", "/x/" + kA + "/a.mp2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinPath(c.folder, c.name, *c.style), c.joined) << c.folder;
  }
}

TEST(PathStyle, LeadByteRuleOnlyInWindowsStyle) {
  EXPECT_FALSE(EndsWithSeparator("D:\\" + kHyou, kWindowsPathStyle));
  EXPECT_TRUE(EndsWithSeparator("D:\\" + kHyou + "\\", kWindowsPathStyle));
  // Read as Shift-JIS, 0x82 would swallow the "/" after "あ".
  EXPECT_TRUE(EndsWithSeparator("/x/" + kA + "/", kPosixPathStyle));
  EXPECT_EQ(LastComponent("/x/" + kA + "/b.wav", kPosixPathStyle), "b.wav");
  EXPECT_EQ(LastComponent("D:\\" + kHyou + "\\b.wav", kWindowsPathStyle), "b.wav");
  EXPECT_EQ(LastComponent("D:\\x" + kHyou + "y.wav", kWindowsPathStyle), "x" + kHyou + "y.wav");

  // Every lead byte takes the backslash after it as its second byte; no other byte does.
  const struct {
    unsigned char first;
    bool lead;
  } bytes[] = {{0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false}, {0xDF, false},
               {0xE0, true},  {0xEF, true}, {0xF0, true}, {0xFC, true},  {0xFD, false}};
  for (const auto& b : bytes) {
    const std::string folder = "D:\\x" + std::string(1, static_cast<char>(b.first)) + "\\";
    EXPECT_EQ(EndsWithSeparator(folder, kWindowsPathStyle), !b.lead) << std::hex << +b.first;
  }
}

TEST(PathStyle, FolderGetsSeparatorUnlessItIsARoot) {
  EXPECT_EQ(FolderWithSeparator("D:\\", kWindowsPathStyle), "D:\\");
  EXPECT_EQ(FolderWithSeparator("D:\\rec", kWindowsPathStyle), "D:\\rec\\");
  EXPECT_EQ(FolderWithSeparator("\\\\server\\share", kWindowsPathStyle), "\\\\server\\share\\");
  EXPECT_EQ(FolderWithSeparator("/", kPosixPathStyle), "/");
  EXPECT_EQ(FolderWithSeparator("/x/rec", kPosixPathStyle), "/x/rec/");
}

}  // namespace
}  // namespace vorzik
