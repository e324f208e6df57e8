#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/browser/browser_queries.h"

namespace vorzik::ui::testing {

struct FakeVolume {
  DriveType type = DriveType::Fixed;
  // Empty: the label cannot be read although the medium is there.
  std::optional<std::string> label = "";
  bool medium = true;
  bool casePreserved = true;
  bool caseSensitive = false;
  std::optional<std::string> remoteName = std::nullopt;
};

struct FakeAttributes {
  bool hidden = false;
  bool system = false;
  bool volumeLabel = false;
  // False for a FIFO, socket or device.
  bool regular = true;
};

/// An in-memory machine that answers the browser's queries: a Windows one
/// with drive letters, shares and Shift-JIS names, or a POSIX one with the
/// single root "/". It records what the browser asked so tests can check it.
class FakeMachine : public BrowserQueries {
 public:
  explicit FakeMachine(const PathStyle& style = kWindowsPathStyle) : style_(style) {}

  // A drive by its letter ("d"), a share by its root (\\server\share), or "/".
  void AddVolume(const std::string& key, FakeVolume volume);
  void AddFolder(const std::string& path, FakeAttributes attributes = {});
  void AddFile(const std::string& path, FakeAttributes attributes = {});
  void Remove(const std::string& path);
  FakeVolume& Volume(const std::string& key) { return volumes_.at(key).volume; }
  void RecordFolder(const std::string& key, const std::string& folder) { recorded_[key] = folder; }

  // Error boxes the platform would have shown for a drive without medium.
  int systemErrorBoxes = 0;
  // ListDirectory calls per folder as the browser named it.
  std::map<std::string, int> listings;
  int driveChanges = 0;
  ErrorMode errorMode = ErrorMode::Default;

  const PathStyle& Style() const override { return style_; }
  std::vector<std::string> LogicalDrives() override;
  DriveType DriveTypeOf(const std::string& root) override;
  std::optional<VolumeInfo> VolumeInformation(const std::string& root) override;
  std::optional<std::string> RemoteNameOf(const std::string& driveName) override;
  ErrorMode SetErrorMode(ErrorMode mode) override;
  bool ChangeDirectory(const std::string& path) override;
  std::string CurrentDirectory() override { return current_; }
  bool SetCurrentDrive(const std::string& key) override;
  std::string DriveOf(const std::string& path) override;
  std::string VolumeRootOf(const std::string& path) override;
  std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) override;

 private:
  struct Node {
    std::string name;
    bool directory = true;
    FakeAttributes attributes;
    std::vector<Node> children;  // in the order they were made, unsorted
  };
  struct Mounted {
    std::string root;  // "D:\", "\\server\share", "/"
    FakeVolume volume;
    Node tree;
  };
  // The volume a path lies on, its key, and the path's components below the root.
  Mounted* VolumeOf(const std::string& path, std::string* key,
                    std::vector<std::string>* components);
  // The node and the path spelled as stored; null when it does not exist.
  Node* Find(const std::string& path, std::string* stored);
  Node* Add(const std::string& path, bool directory, FakeAttributes attributes);

  PathStyle style_;
  std::map<std::string, Mounted> volumes_;
  std::map<std::string, std::string> recorded_;
  std::string current_;
};

}  // namespace vorzik::ui::testing

namespace vorzik::ui::testing {

// A stand-in for the user's locale collation: Unicode letters folded to lower
// case (ASCII, Latin-1 and full-width Latin), then compared by code point;
// names are UTF-8, or Shift-JIS in the Windows style.
NameCollation FakeLocaleCollation(const PathStyle& style);

// A Windows machine: a: removable without medium, c: "SYSTEM", d: "Data",
// e: a CD-ROM without medium, f: a disk whose label cannot be read, q: of
// unknown type, y: a network drive whose remote name cannot be read, z: a
// network drive on \\Server\Share, and the share \\server\share itself.
// The current directory is D:\.
void BuildWindowsMachine(FakeMachine& machine);

}  // namespace vorzik::ui::testing
