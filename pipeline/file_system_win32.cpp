#include <windows.h>
// windows.h makes DeleteFile a macro, which would rename the interface's method
// in this file only.
#undef DeleteFile

#include <optional>
#include <string>

#include "pipeline/ansi_text_win32.h"
#include "pipeline/file_system.h"

namespace vorzik {

namespace {

// FILETIME counts 100 ns steps from 1601; stamps count nanoseconds from 1970
// like the POSIX side, which also keeps the product inside 64 bits.
constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000;

std::int64_t ToNanoseconds(const FILETIME& time) {
  std::int64_t ticks =
      static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
  return (ticks - kUnixEpochInFileTime) * 100;
}

// The identity of a file or folder: the volume's serial number and the file
// index. It tells a file a stage wrote from one of the same size and time left
// in its place. The handle asks for no access and shares everything, so a tool
// still writing the file is not disturbed; opening a folder needs backup
// semantics; opening follows links.
FileIdentity IdentityOf(const std::string& path) {
  HANDLE file =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return {};
  BY_HANDLE_FILE_INFORMATION info{};
  FileIdentity identity;
  if (::GetFileInformationByHandle(file, &info)) {
    identity.exists = true;
    identity.device = info.dwVolumeSerialNumber;
    identity.file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  }
  ::CloseHandle(file);
  return identity;
}

// The last component of a path and the name without its extension.
std::wstring NameOf(const std::wstring& path) {
  return path.substr(path.find_last_of(L'\\') + 1);
}
std::wstring BaseOf(const std::wstring& name) {
  return name.substr(0, name.find_last_of(L'.'));
}

// The name a file is stored under, where the path reaches it by its short
// form because that name does not fit the code page. A name that fits was
// used as it is, by the path and by the names made from it.
std::optional<std::wstring> NameOutsideCodePage(const std::string& path) {
  const std::optional<std::wstring> longPath = LongPathOf(WideOf(path));
  if (!longPath)
    return std::nullopt;
  std::wstring name = NameOf(*longPath);
  if (ExactAnsi(name))
    return std::nullopt;
  return name;
}

class Win32FileSystem final : public FileSystem {
 public:
  bool CreateFolder(const std::string& path) override {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
  }

  bool DeleteFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != 0; }

  FileStamp Stamp(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.size =
        static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    stamp.modifiedNs = ToNanoseconds(data.ftLastWriteTime);
    stamp.identity = IdentityOf(path).file;
    return stamp;
  }

  FileIdentity Identify(const std::string& path) override { return IdentityOf(path); }

  std::optional<std::string> OwnNameOf(const std::string& path) override {
    const std::optional<std::wstring> name = NameOutsideCodePage(path);
    return name ? std::optional<std::string>(Utf8Of(*name)) : std::nullopt;
  }

  // Only a short form is undone: the output's name is the short form's base
  // name and a suffix, which stays.
  bool NameAfterSource(const std::string& source, const std::string& output) override {
    const std::optional<std::wstring> ownName = NameOutsideCodePage(source);
    if (!ownName)
      return false;
    const std::wstring shortBase = BaseOf(NameOf(WideOf(source)));
    const std::wstring from = WideOf(output);
    const std::wstring outputName = NameOf(from);
    if (outputName.compare(0, shortBase.size(), shortBase) != 0)
      return false;
    const std::wstring to = from.substr(0, from.size() - outputName.size()) + BaseOf(*ownName) +
                            outputName.substr(shortBase.size());
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace vorzik
