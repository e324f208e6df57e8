#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  // The Qt tests never need a real display, and whatever Qt keeps at run
  // time goes into a folder of their own.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string runtime = (std::filesystem::temp_directory_path() / "vorzik-qt-XXXXXX").string();
  if (mkdtemp(runtime.data()))
    qputenv("XDG_RUNTIME_DIR", runtime.c_str());
  int result = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(runtime, ignored);
  return result;
}
