#include "ui/browser/mount_table.h"

#include <gtest/gtest.h>

namespace vorzik::ui {
namespace {

const char kMountInfo[] =
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "30 26 0:27 / /run rw - tmpfs tmpfs rw\n"
    "31 30 0:28 / /run/media/me/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
    "32 26 8:2 / /mnt/data rw master:3 - ext4 /dev/sda2 rw\n"
    "33 26 0:40 / /tmp rw - tmpfs tmpfs rw\n"
    "34 26 0:41 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "35 26 0:42 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
    "malformed line\n";

TEST(MountTable, ParsesMountPointsTypesAndSources) {
  std::vector<MountEntry> entries = ParseMountInfo(kMountInfo);
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_EQ(entries[1].mountPoint, "/");
  EXPECT_EQ(entries[1].fsType, "ext4");
  EXPECT_EQ(entries[1].source, "/dev/vda");
  EXPECT_EQ(entries[3].mountPoint, "/run/media/me/USB STICK");
}

TEST(MountTable, LeavesOutPseudoFileSystems) {
  std::vector<std::string> kept;
  for (const MountEntry& entry : ParseMountInfo(kMountInfo)) {
    if (!IsPseudoMount(entry))
      kept.push_back(entry.mountPoint);
  }
  EXPECT_EQ(kept, (std::vector<std::string>{"/", "/run/media/me/USB STICK", "/mnt/data", "/tmp"}));
}

TEST(MountTable, TheDriveOfAFolderIsItsLongestMountPrefix) {
  const std::vector<std::string> mounts = {"/", "/mnt", "/mnt/data"};
  const std::pair<std::string, std::string> cases[] = {
      {"/mnt/data/rec", "/mnt/data"},
      {"/mnt/data", "/mnt/data"},
      {"/mnt/database", "/mnt"},
      {"/home/me", "/"},
      {"/", "/"},
      {"relative", ""},
  };
  for (const auto& [path, drive] : cases)
    EXPECT_EQ(LongestMountPrefix(mounts, path), drive) << path;
}

TEST(MountTable, UdevLabelsAndCaseRules) {
  EXPECT_EQ(DecodeUdevName("My\\x20Disk"), "My Disk");
  EXPECT_TRUE(TellsCaseApart("ext4"));
  EXPECT_FALSE(TellsCaseApart("vfat"));
}

}  // namespace
}  // namespace vorzik::ui
