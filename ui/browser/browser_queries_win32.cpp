#include <windows.h>
#include <winnetwk.h>

#include <optional>
#include <string>

#include "ui/browser/ansi_paths_win32.h"
#include "ui/browser/browser_queries.h"
#include "ui/browser/browser_text.h"

namespace vorzik::ui {

namespace {

DriveType FromWin32DriveType(UINT type) {
  switch (type) {
    case DRIVE_NO_ROOT_DIR:
      return DriveType::NoRootDir;
    case DRIVE_REMOVABLE:
      return DriveType::Removable;
    case DRIVE_FIXED:
      return DriveType::Fixed;
    case DRIVE_REMOTE:
      return DriveType::Remote;
    case DRIVE_CDROM:
      return DriveType::CdRom;
    case DRIVE_RAMDISK:
      return DriveType::RamDisk;
    default:
      return DriveType::Unknown;
  }
}

/// The Win32 drive, volume and directory API, in the system's ANSI code page.
/// Names and the current directory are read wide, so a name outside the code
/// page reaches the program as a short form the tools can open, and the
/// window shows the name as stored.
/// The platform itself keeps each drive's current folder.
class Win32BrowserQueries final : public BrowserQueries {
 public:
  const PathStyle& Style() const override { return kWindowsPathStyle; }

  std::vector<std::string> LogicalDrives() override {
    return DriveKeysFromMask(::GetLogicalDrives());
  }

  DriveType DriveTypeOf(const std::string& root) override {
    return FromWin32DriveType(::GetDriveTypeA(root.c_str()));
  }

  std::optional<VolumeInfo> VolumeInformation(const std::string& root) override {
    char label[MAX_PATH + 1] = {};
    DWORD maxComponent = 0;
    DWORD flags = 0;
    if (!::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, &maxComponent, &flags,
                                 nullptr, 0))
      return std::nullopt;
    return VolumeInfo{label, (flags & FILE_CASE_PRESERVED_NAMES) != 0,
                      (flags & FILE_CASE_SENSITIVE_SEARCH) != 0};
  }

  std::optional<std::string> RemoteNameOf(const std::string& driveName) override {
    char remote[MAX_PATH + 1] = {};
    DWORD size = sizeof remote;
    if (::WNetGetConnectionA(driveName.c_str(), remote, &size) != NO_ERROR)
      return std::nullopt;
    return std::string(remote);
  }

  // The mode's other bits pass through unchanged, so restoring is exact.
  ErrorMode SetErrorMode(ErrorMode mode) override {
    return static_cast<ErrorMode>(::SetErrorMode(static_cast<UINT>(mode)));
  }

  bool ChangeDirectory(const std::string& path) override {
    return ::SetCurrentDirectoryA(path.c_str()) != 0;
  }

  std::string CurrentDirectory() override {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
      DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
      if (length == 0)
        return {};
      if (length < buffer.size())
        return ToolPathOf(buffer.substr(0, length));
      buffer.resize(length);
    }
  }

  // "d:" alone: the platform goes to the drive's recorded folder, or its root.
  bool SetCurrentDrive(const std::string& key) override {
    return ChangeDirectory(DriveNameOfKey(key, kWindowsPathStyle));
  }

  std::string DriveOf(const std::string& path) override {
    if (path.size() < 2 || path[1] != ':')
      return {};
    return ToLowerText(path.substr(0, 1), kWindowsPathStyle);
  }

  std::string VolumeRootOf(const std::string& path) override {
    return DrivePartOf(path, kWindowsPathStyle) + '\\';
  }

  std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) override {
    WIN32_FIND_DATAW found;
    const std::wstring pattern = WideOf(JoinPath(folder, "*.*", kWindowsPathStyle));
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      return std::nullopt;
    std::vector<DirectoryEntry> entries;
    do {
      DWORD a = found.dwFileAttributes;
      DirectoryEntry entry;
      entry.name = ToolNameOf(found);
      entry.shown = Utf8Of(found.cFileName);
      entry.directory = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
      entry.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
      entry.regular = !entry.directory && (a & FILE_ATTRIBUTE_DEVICE) == 0;
      entries.push_back(std::move(entry));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return entries;
  }

  // As the platform's own lists sort: the user's locale, case ignored.
  int CompareNames(std::string_view a, std::string_view b) const override {
    const int result =
        ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                         b.data(), static_cast<int>(b.size()));
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
  }
};

}  // namespace

std::unique_ptr<BrowserQueries> MakeNativeBrowserQueries() {
  return std::make_unique<Win32BrowserQueries>();
}

}  // namespace vorzik::ui
