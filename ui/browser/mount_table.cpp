#include "ui/browser/mount_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

namespace vorzik::ui {

namespace {

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
std::string DecodeOctal(std::string_view field) {
  std::string decoded;
  for (std::size_t i = 0; i < field.size(); ++i) {
    bool octal = field[i] == '\\' && i + 3 < field.size() &&
                 std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                             [](char c) { return c >= '0' && c <= '7'; });
    if (octal) {
      decoded += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                   (field[i + 3] - '0'));
      i += 3;
    } else {
      decoded += field[i];
    }
  }
  return decoded;
}

bool IsUnder(std::string_view path, std::string_view folder) {
  return path == folder || (path.size() > folder.size() &&
                            path.substr(0, folder.size()) == folder && path[folder.size()] == '/');
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountEntry> entries;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;)
      words.push_back(word);
    auto dash = std::find(words.begin(), words.end(), "-");
    if (words.size() < 5 || dash == words.end() || words.end() - dash < 3 ||
        dash - words.begin() < 6)
      continue;
    entries.push_back({DecodeOctal(words[4]), DecodeOctal(dash[1]), DecodeOctal(dash[2])});
  }
  return entries;
}

bool IsPseudoMount(const MountEntry& entry) {
  static constexpr std::array<std::string_view, 27> kPseudoTypes = {
      "proc",        "sysfs",       "devtmpfs", "devpts",     "cgroup",
      "cgroup2",     "securityfs",  "pstore",   "bpf",        "debugfs",
      "tracefs",     "configfs",    "fusectl",  "mqueue",     "hugetlbfs",
      "autofs",      "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",
      "selinuxfs",   "overlay",     "squashfs", "ramfs",      "fuse.gvfsd-fuse",
      "fuse.portal", "nfsd"};
  if (entry.mountPoint == "/")
    return false;
  if (std::find(kPseudoTypes.begin(), kPseudoTypes.end(), entry.fsType) != kPseudoTypes.end())
    return true;
  for (std::string_view system : {"/proc", "/sys", "/dev"}) {
    if (IsUnder(entry.mountPoint, system))
      return true;
  }
  // /run holds runtime state, except the media mounted for the user there.
  return IsUnder(entry.mountPoint, "/run") && !IsUnder(entry.mountPoint, "/run/media");
}

std::string LongestMountPrefix(const std::vector<std::string>& mountPoints, std::string_view path) {
  std::string best;
  for (const std::string& mountPoint : mountPoints) {
    bool prefix =
        mountPoint == "/" ? !path.empty() && path.front() == '/' : IsUnder(path, mountPoint);
    if (prefix && mountPoint.size() > best.size())
      best = mountPoint;
  }
  return best;
}

bool TellsCaseApart(std::string_view fsType) {
  return fsType != "vfat" && fsType != "msdos" && fsType != "exfat";
}

std::string DecodeUdevName(std::string_view name) {
  std::string decoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
        std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
      decoded += static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else {
      decoded += name[i];
    }
  }
  return decoded;
}

}  // namespace vorzik::ui
