// The version record as Windows reads it back from an executable that carries
// the resource: every field, in the record's own code page.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/version_info.h"

namespace vorzik::shell {
namespace {

// An executable by its path from this test program's folder.
std::string BesideUs(const char* name) {
  char buffer[MAX_PATH * 2];
  DWORD n = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n);
  return path.substr(0, path.rfind('\\') + 1) + name;
}

// UTF-8 source text in the system's code page, as the A functions give it.
std::string InCodePage(const std::string& utf8, UINT codePage) {
  int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(wideLength, L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), wideLength);
  int length =
      ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string result(length, '\0');
  ::WideCharToMultiByte(codePage, 0, wide.data(), wideLength, result.data(), length, nullptr,
                        nullptr);
  return result;
}

// Each executable that carries the record, by its path from this test program's folder.
class VersionResource : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const std::string path = BesideUs(GetParam());
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_NE(size, 0u) << path << " carries no version record";
    data_.resize(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, data_.data()));
  }

  // The value at `block`, or none when the record lacks it.
  std::optional<std::string> Text(const std::string& field) {
    void* value = nullptr;
    UINT length = 0;
    const std::string block = "\\StringFileInfo\\041103A4\\" + field;
    if (!::VerQueryValueA(data_.data(), block.c_str(), &value, &length))
      return std::nullopt;
    // The length counts the terminating zero, where there is one.
    const char* text = static_cast<const char*>(value);
    return std::string(text, length && text[length - 1] == '\0' ? length - 1 : length);
  }

  std::vector<char> data_;
};

TEST_P(VersionResource, FixedPartCarriesVersion1110) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(data_.data(), "\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_P(VersionResource, TranslationIsJapaneseInCodePage932) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u) << "one language and code page pair";
  const auto* pair = static_cast<const WORD*>(value);
  EXPECT_EQ(pair[0], 0x0411);
  EXPECT_EQ(pair[1], 932);
}

TEST_P(VersionResource, EveryTextFieldReadsBackInCodePage932) {
  ASSERT_EQ(::GetACP(), 932u) << "the texts below are compared in the Japanese code page";
  struct Field {
    const char* name;
    std::string utf8;
  };
  const Field fields[] = {
      {"FileDescription", "音質(低音減弱)の改善ツール補助"},
      {"Comments", "サポートの予定は有りません。"},
      {"OriginalFilename", "PC-QL7RZ/PCI 支援 (Vorzik)"},
      {"ProductName", "vorzik.exe"},
      {"FileVersion", "1.1.1.0"},
      {"ProductVersion", "1.1.1.0"},
      {"CompanyName", ""},
      {"InternalName", ""},
      {"LegalCopyright", ""},
      {"LegalTrademarks", ""},
  };
  for (const Field& field : fields) {
    SCOPED_TRACE(field.name);
    std::optional<std::string> text = Text(field.name);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, InCodePage(field.utf8, 932));
  }
  EXPECT_FALSE(Text("PrivateBuild").has_value()) << "no field beyond the record's";
  EXPECT_FALSE(Text("SpecialBuild").has_value());
}

TEST_P(VersionResource, TextsAreTheOnesOfTheSource) {
  EXPECT_EQ(Text("FileDescription"), InCodePage(version::kFileDescription, 932));
  EXPECT_EQ(Text("Comments"), InCodePage(version::kComments, 932));
  EXPECT_EQ(Text("OriginalFilename"), InCodePage(version::kOriginalFilename, 932));
  EXPECT_EQ(Text("ProductName"), std::string(version::kProductName));
}

INSTANTIATE_TEST_SUITE_P(Executables, VersionResource, ::testing::Values(VORZIK_VERSION_FILES),
                         [](const auto& info) {
                           std::string name = info.param;
                           name = name.substr(name.find_last_of("/\\") + 1);
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace vorzik::shell
