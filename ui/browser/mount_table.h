#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mount table as the browser sees it on POSIX systems: which mounted file
// systems count as drives, and which drive a folder lies on.
namespace vorzik::ui {

struct MountEntry {
  std::string mountPoint;
  std::string fsType;
  std::string source;  // the device or remote the file system comes from
};

// The lines of /proc/self/mountinfo, in table order; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// Kernel and runtime file systems (proc, sysfs, cgroup, tmpfs under /run,
// overlay layers...) that hold nothing a user converts.
bool IsPseudoMount(const MountEntry& entry);

// The longest mount point that is a prefix of path at a component boundary;
// empty when none is.
std::string LongestMountPrefix(const std::vector<std::string>& mountPoints, std::string_view path);

// File systems that tell names apart by case (most of them; not FAT).
bool TellsCaseApart(std::string_view fsType);

// A udev link name such as "My\x20Disk" spelled out.
std::string DecodeUdevName(std::string_view name);

}  // namespace vorzik::ui
