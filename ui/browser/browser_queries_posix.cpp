#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "ui/browser/browser_queries.h"
#include "ui/browser/mount_table.h"

namespace vorzik::ui {

namespace {

bool IsOpenableFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         access(path.c_str(), R_OK | X_OK) == 0;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The device's label from udev's by-label links; empty when none is known.
std::string LabelOfDevice(const std::string& device) {
  std::string real = RealPath(device);
  if (real.empty())
    return {};
  const std::string folder = "/dev/disk/by-label";
  DIR* links = opendir(folder.c_str());
  if (!links)
    return {};
  std::string label;
  while (dirent* link = readdir(links)) {
    std::string name = link->d_name;
    if (name != "." && name != ".." && RealPath(folder + "/" + name) == real) {
      label = DecodeUdevName(name);
      break;
    }
  }
  closedir(links);
  return label;
}

// Fills in what the entry's type says without a stat where readdir knows it.
void ClassifyEntry(int folder, const dirent& found, DirectoryEntry& entry) {
  unsigned char type = found.d_type;
  if (type == DT_LNK || type == DT_UNKNOWN) {
    struct stat info {};
    // Follows links: a link counts as what it points to; a broken one as nothing.
    if (fstatat(folder, found.d_name, &info, 0) != 0)
      return;
    entry.directory = S_ISDIR(info.st_mode);
    entry.regular = S_ISREG(info.st_mode);
    return;
  }
  entry.directory = type == DT_DIR;
  entry.regular = type == DT_REG;
}

/// Drives are mount points; the folder last entered on each is recorded here,
/// as the platform keeps none.
class PosixBrowserQueries final : public BrowserQueries {
 public:
  PosixBrowserQueries() { Record(CurrentDirectory()); }

  const PathStyle& Style() const override { return kPosixPathStyle; }

  std::vector<std::string> LogicalDrives() override {
    std::vector<std::string> keys;
    for (const auto& [mountPoint, entry] : Mounts()) {
      if (IsOpenableFolder(mountPoint))
        keys.push_back(mountPoint);
    }
    return keys;  // the map keeps them sorted, "/" first
  }

  DriveType DriveTypeOf(const std::string& root) override {
    auto mounts = Mounts();
    return mounts.count(root) && IsOpenableFolder(root) ? DriveType::Fixed : DriveType::NoRootDir;
  }

  std::optional<VolumeInfo> VolumeInformation(const std::string& root) override {
    auto mounts = Mounts();
    auto mount = mounts.find(root);
    if (mount == mounts.end() || !IsOpenableFolder(root))
      return std::nullopt;
    bool caseApart = TellsCaseApart(mount->second.fsType);
    std::string label =
        mount->second.source.rfind("/dev/", 0) == 0 ? LabelOfDevice(mount->second.source) : "";
    return VolumeInfo{label, true, caseApart};
  }

  std::optional<std::string> RemoteNameOf(const std::string&) override { return std::nullopt; }

  ErrorMode SetErrorMode(ErrorMode mode) override { return std::exchange(errorMode_, mode); }

  bool ChangeDirectory(const std::string& path) override {
    if (path.empty() || chdir(path.c_str()) != 0)
      return false;
    Record(CurrentDirectory());
    return true;
  }

  std::string CurrentDirectory() override {
    std::string buffer(PATH_MAX, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
      if (errno != ERANGE)
        return {};
      buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
  }

  bool SetCurrentDrive(const std::string& key) override {
    auto recorded = recorded_.find(key);
    if (recorded != recorded_.end() && ChangeDirectory(recorded->second))
      return true;
    return ChangeDirectory(key);
  }

  std::string DriveOf(const std::string& path) override {
    return LongestMountPrefix(LogicalDrives(), path);
  }

  std::string VolumeRootOf(const std::string& path) override { return DriveOf(path); }

  std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) override {
    DIR* listing = opendir(folder.c_str());
    if (!listing)
      return std::nullopt;
    std::vector<DirectoryEntry> entries;
    while (dirent* found = readdir(listing)) {
      DirectoryEntry entry;
      entry.name = found->d_name;
      entry.hidden = entry.name.front() == '.';
      ClassifyEntry(dirfd(listing), *found, entry);
      entries.push_back(std::move(entry));
    }
    closedir(listing);
    return entries;
  }

 private:
  // The real file systems by mount point; of stacked mounts the top one.
  static std::map<std::string, MountEntry> Mounts() {
    std::ifstream file("/proc/self/mountinfo");
    std::stringstream text;
    text << file.rdbuf();
    std::map<std::string, MountEntry> mounts;
    for (MountEntry& entry : ParseMountInfo(text.str())) {
      if (!IsPseudoMount(entry))
        mounts[entry.mountPoint] = std::move(entry);
    }
    mounts.try_emplace("/", MountEntry{"/", "", ""});
    return mounts;
  }

  void Record(const std::string& folder) {
    if (!folder.empty())
      recorded_[DriveOf(folder)] = folder;
  }

  ErrorMode errorMode_ = ErrorMode::Default;
  std::map<std::string, std::string> recorded_;
};

}  // namespace

std::unique_ptr<BrowserQueries> MakeNativeBrowserQueries() {
  return std::make_unique<PosixBrowserQueries>();
}

}  // namespace vorzik::ui
