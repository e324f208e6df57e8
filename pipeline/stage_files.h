#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorzik {

/// What is known of a file before and after a stage: enough to tell a file
/// the stage wrote from one an earlier run left behind.
struct FileStamp {
  bool exists = false;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t identity = 0;  // inode, or the platform's file index

  bool operator==(const FileStamp&) const = default;
};

/// Which file a path leads to once every link on the way is followed: two
/// paths with the same identity name one file, links and hard links included.
struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0;  // device, or the volume's serial number
  std::uint64_t file = 0;    // inode, or the platform's file index

  bool operator==(const FileIdentity&) const = default;
  // True only for two existing entries, files or folders, that are one.
  bool SameAs(const FileIdentity& other) const { return exists && *this == other; }
};

/// A file of the running batch as it was when the batch began.
struct BatchFile {
  std::string path;
  FileIdentity identity;
};

/// What the batch asks of and does to the files its stages read and write:
/// the work folder made, stage files deleted, outputs stamped, paths told
/// apart by identity. Results of CreateFolder and DeleteFile are for callers
/// that care; the stage chain ignores them.
class StageFiles {
 public:
  virtual ~StageFiles() = default;
  virtual bool CreateFolder(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  // A regular file only; anything else counts as missing.
  virtual FileStamp Stamp(const std::string& path) = 0;
  // Any kind of entry, folders too; a path that leads nowhere does not exist.
  virtual FileIdentity Identify(const std::string& path) = 0;
  // Where the path reaches a file by its short (8.3) form, because the name
  // it is stored under does not fit the code page: that name, in UTF-8.
  // Platforms without short forms have none.
  virtual std::optional<std::string> OwnNameOf(const std::string& /*path*/) { return std::nullopt; }
  // Where the source was reached by its short form, gives a result named
  // after that form (its base name and a suffix such as "_TMP3.wav" or
  // ".mp2") the source's own base name with the same suffix, replacing an
  // earlier result. True when it renamed.
  virtual bool NameAfterSource(const std::string& /*source*/, const std::string& /*output*/) {
    return false;
  }
  // True when the path's last part is longer than its folder's file system
  // takes for a name, so that no tool can write it. Where full paths hit the
  // platform's limit first (Windows), nothing needs telling apart.
  virtual bool NameTooLong(const std::string& /*path*/) { return false; }
};

std::unique_ptr<StageFiles> MakeNativeStageFiles();

}  // namespace vorzik
