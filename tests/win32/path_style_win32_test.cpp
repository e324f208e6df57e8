#include <gtest/gtest.h>
#include <windows.h>

#include "pipeline/batch_driver.h"
#include "pipeline/path_style.h"
#include "tests/support/skip_without.h"

namespace vorzik {
namespace {

// The window's texts are UTF-8; a file name in the status bar comes from the
// ANSI code page and must read the same.
TEST(PathAsDisplayText, AnsiNamesBecomeTheWindowsText) {
  EXPECT_EQ(PathAsDisplayText("a.mp2"), "a.mp2");
  EXPECT_EQ(PathAsDisplayText(""), "");
  if (::GetACP() != 932)
    VORZIK_SKIP_WITHOUT("code page 932");
  // "表.wav" in Shift-JIS: the second byte has the backslash's code.
  EXPECT_EQ(PathAsDisplayText("\x95\x5C.wav"), "\xE8\xA1\xA8.wav");
  EXPECT_EQ(FailedFilesStatus(1, PathAsDisplayText("\x83\x5C.mp2"), "BeSweet.exe"),
            " 変換に失敗したファイルがあります（1 件）: ソ.mp2 (BeSweet.exe)");
}

}  // namespace
}  // namespace vorzik
