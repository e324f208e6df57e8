#include "ui/browser/browser_text.h"

#include <gtest/gtest.h>

#include "tests/support/fake_machine.h"

namespace vorzik::ui {
namespace {

// 表 in Shift-JIS: its second byte has the backslash's code.
const std::string kHyou = "\x95\x5c";
// ア and ビ in Shift-JIS: second bytes with the codes of A and a.
const std::string kKatakanaA = "\x83\x41";
const std::string kKatakanaBi = "\x83\x72";

struct WildcardCase {
  std::string name;
  std::string pattern;
  bool matches;
};

TEST(BrowserText, WildcardsMatchByCharacterIgnoringCase) {
  const WildcardCase cases[] = {
      {"X.WAV", "*.wav", true},
      {"a.mp2", "*.mp2", true},
      {"a.mp2x", "*.mp2", false},
      {"a.mp2", "*.mpa", false},
      {"abc.wav", "a?c.wav", true},
      {"ac.wav", "a?c.wav", false},
      {kHyou + ".wav", "?.wav", true},  // one double-byte character is one "?"
      {"noext", "*.*", true},
      {"a.b.c", "*.c", true},
      {"", "*.wav", false},
      {"a.wav", "", false},
      {"aXbXc", "*X*c", true},
      {"ab", "a*b*", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.name, c.pattern, kWindowsPathStyle), c.matches)
        << c.name << " ~ " << c.pattern;
  }
}

TEST(BrowserText, CaseFoldingLeavesSecondBytesAlone) {
  EXPECT_EQ(ToLowerText("D:\\REC\\" + kKatakanaA + "X", kWindowsPathStyle),
            "d:\\rec\\" + kKatakanaA + "x");
  EXPECT_NE(CompareIgnoringCase(kKatakanaA, "\x83\x61", kWindowsPathStyle), 0);
  EXPECT_EQ(CompareIgnoringCase("ReC", "rEc", kWindowsPathStyle), 0);
  // Without the lead-byte rule (UTF-8) every byte below 0x80 is a character.
  EXPECT_EQ(ToLowerText("/X/\xe3\x81\x82Y", kPosixPathStyle), "/x/\xe3\x81\x82y");
}

TEST(BrowserText, WithoutACollationSortsIgnoringAsciiCaseThenByBytes) {
  testing::FakeMachine machine;
  EXPECT_TRUE(NameLess(machine, "a.mp2", "b.WAV"));
  EXPECT_TRUE(NameLess(machine, "b.WAV", "C.mpa"));
  EXPECT_TRUE(NameLess(machine, "Rec", "rec"));
  EXPECT_FALSE(NameLess(machine, "rec", "Rec"));
  EXPECT_TRUE(NameLess(machine, "zz", kKatakanaBi));
}

TEST(BrowserText, SameNameHonoursTheVolumesCaseRule) {
  EXPECT_TRUE(SameName("/x/Rec", "/x/rec", false, kPosixPathStyle));
  EXPECT_FALSE(SameName("/x/Rec", "/x/rec", true, kPosixPathStyle));
  EXPECT_TRUE(SameName("/x/rec", "/x/rec", true, kPosixPathStyle));
}

TEST(BrowserText, MaskSplitsInOrderKeepingEmptyPatterns) {
  EXPECT_EQ(SplitMask("*.mp2;*.mpa;*.wav"), (std::vector<std::string>{"*.mp2", "*.mpa", "*.wav"}));
  EXPECT_EQ(SplitMask("*.wav;"), (std::vector<std::string>{"*.wav", ""}));
  EXPECT_TRUE(SplitMask("").empty());
}

TEST(BrowserText, DrivePartAndSeparators) {
  EXPECT_EQ(DrivePartOf("D:\\rec\\in", kWindowsPathStyle), "D:");
  EXPECT_EQ(DrivePartOf("D:\\", kWindowsPathStyle), "D:");
  EXPECT_EQ(DrivePartOf("\\\\server\\share\\dir", kWindowsPathStyle), "\\\\server\\share");
  EXPECT_EQ(DrivePartOf("\\\\server\\share", kWindowsPathStyle), "\\\\server\\share");
  EXPECT_EQ(DrivePartOf("/x/rec", kPosixPathStyle), "");
  EXPECT_EQ(SeparatorOffsets("D:\\" + kHyou + "\\a", kWindowsPathStyle),
            (std::vector<std::size_t>{2, 5}));
}

}  // namespace
}  // namespace vorzik::ui
