#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/path_style.h"

namespace vorzik::ui {

enum class DriveType {
  Unknown,    // the type cannot be determined
  NoRootDir,  // the drive has no root directory
  Removable,
  Fixed,
  Remote,
  CdRom,
  RamDisk,
};

struct VolumeInfo {
  std::string label;
  bool casePreserved = false;  // names keep the letter case they were created with
  bool caseSensitive = false;  // names that differ only in case are different names
};

// One name found in a folder, with the attributes the browser filters on.
struct DirectoryEntry {
  // As the tools and the ANSI functions open it; on Windows the short form
  // where the name does not fit the code page.
  std::string name;
  bool directory = false;
  bool hidden = false;
  bool system = false;
  bool volumeLabel = false;
  // A plain file: something a tool can read from start to end. Never a FIFO,
  // socket or device, which would make a tool hang or fail.
  bool regular = false;
  // The name as stored, in UTF-8, where the platform's bytes are not UTF-8;
  // empty where it is `name` itself.
  std::string shown = {};
};

/// Negative, zero or positive as a sorts before, with or after b when letter
/// case is ignored, in the user's locale.
using NameCollation = std::function<int(std::string_view a, std::string_view b)>;

// How label reads treat a drive without medium: with critical errors failed
// silently the platform shows no box of its own.
enum class ErrorMode : unsigned {
  Default = 0,
  FailCriticalErrors = 1,
};

/// The drive, volume and directory queries of the browser. A drive is named by
/// a key: its letter in lower case where drives have letters, its mount point
/// where they do not. Paths are byte strings in the platform's own spelling.
/// The names keep clear of the Win32 calls behind them, which windows.h
/// defines as macros.
class BrowserQueries {
 public:
  virtual ~BrowserQueries() = default;

  // How this platform spells paths; the browser splits and joins with it.
  virtual const PathStyle& Style() const = 0;

  // The present drives' keys in drive order.
  virtual std::vector<std::string> LogicalDrives() = 0;
  // root: a drive's root directory as DriveRootOfKey gives it, or a share root.
  virtual DriveType DriveTypeOf(const std::string& root) = 0;
  // Empty when the volume cannot be read (no medium, not ready).
  virtual std::optional<VolumeInfo> VolumeInformation(const std::string& root) = 0;
  // The connection's remote name (\\server\share) of a network drive named
  // as DriveNameOfKey gives it; empty when it cannot be read.
  virtual std::optional<std::string> RemoteNameOf(const std::string& driveName) = 0;
  // Returns the mode in force before.
  virtual ErrorMode SetErrorMode(ErrorMode mode) = 0;

  virtual bool ChangeDirectory(const std::string& path) = 0;
  // Empty when the current directory cannot be read.
  virtual std::string CurrentDirectory() = 0;
  // Makes the drive the current directory: the folder last recorded for it,
  // or its root when none is recorded. False when the drive cannot be entered.
  virtual bool SetCurrentDrive(const std::string& key) = 0;

  // The key of the drive a path lies on; empty when it lies on none (a share).
  virtual std::string DriveOf(const std::string& path) = 0;
  // The root of the volume a path lies on, as VolumeInformation takes it.
  virtual std::string VolumeRootOf(const std::string& path) = 0;

  // Every name in the folder, "." and ".." included where the platform lists
  // them; empty when the folder cannot be read.
  virtual std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) = 0;

  // The order of the sorted lists: names compared with letter case ignored,
  // by the platform's collation. Without one of its own the platform takes the
  // collation the program hands in, or else folds ASCII letters only.
  virtual int CompareNames(std::string_view a, std::string_view b) const;
  void SetCollation(NameCollation collation) { collation_ = std::move(collation); }

 private:
  NameCollation collation_;
};

// Ascending by CompareNames; names it finds equal (possible on a volume that
// tells case apart) stand in byte order, so the order is total.
bool NameLess(const BrowserQueries& fs, std::string_view a, std::string_view b);

// The text before a drive's label in its drive-box entry: "d:" or "/mnt/x".
std::string DriveNameOfKey(const std::string& key, const PathStyle& style);
// The drive's root directory: "d:\" or "/mnt/x".
std::string DriveRootOfKey(const std::string& key, const PathStyle& style);
// The keys of the drives present in a mask of logical drives, bit 0 for "a".
std::vector<std::string> DriveKeysFromMask(unsigned long mask);

// The queries of the platform the program runs on.
std::unique_ptr<BrowserQueries> MakeNativeBrowserQueries();

}  // namespace vorzik::ui
