#include "tests/support/fake_machine.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "ui/browser/browser_text.h"

namespace vorzik::ui::testing {

namespace {

std::vector<std::string> Split(std::string_view rest, const PathStyle& style) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  std::vector<std::size_t> separators = SeparatorOffsets(rest, style);
  separators.push_back(rest.size());
  for (std::size_t end : separators) {
    if (end > start)
      parts.emplace_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

void FakeMachine::AddVolume(const std::string& key, FakeVolume volume) {
  std::string root = key + (key == "/" ? "" : std::string(1, style_.separator));
  if (style_.driveLetters && key.size() == 1)
    root = std::string(1, static_cast<char>(std::toupper(key[0]))) + ":" + style_.separator;
  volumes_[ToLowerText(key, style_)] = Mounted{root, volume, Node{}};
}

void FakeMachine::AddFolder(const std::string& path, FakeAttributes attributes) {
  Add(path, true, attributes);
}

void FakeMachine::AddFile(const std::string& path, FakeAttributes attributes) {
  Add(path, false, attributes);
}

void FakeMachine::Remove(const std::string& path) {
  std::string parentPath(path.substr(0, path.size() - LastComponent(path, style_).size()));
  std::string stored;
  Node* parent = Find(parentPath, &stored);
  std::string name(LastComponent(path, style_));
  auto& children = parent->children;
  children.erase(
      std::remove_if(children.begin(), children.end(),
                     [&](const Node& n) { return SameName(n.name, name, false, style_); }),
      children.end());
}

FakeMachine::Mounted* FakeMachine::VolumeOf(const std::string& path, std::string* key,
                                            std::vector<std::string>* components) {
  std::string drivePart = DrivePartOf(path, style_);
  if (!style_.driveLetters)
    *key = "/";
  else if (IsSharePath(path, style_))
    *key = ToLowerText(drivePart, style_);
  else if (drivePart.size() == 2)
    *key = ToLowerText(drivePart.substr(0, 1), style_);
  else
    return nullptr;
  auto volume = volumes_.find(*key);
  if (volume == volumes_.end())
    return nullptr;
  *components = Split(std::string_view(path).substr(drivePart.size()), style_);
  return &volume->second;
}

FakeMachine::Node* FakeMachine::Find(const std::string& path, std::string* stored) {
  std::string key;
  std::vector<std::string> components;
  Mounted* volume = VolumeOf(path, &key, &components);
  if (!volume || !volume->volume.medium)
    return nullptr;
  Node* node = &volume->tree;
  *stored = volume->root;
  for (const std::string& part : components) {
    auto& children = node->children;
    auto child = std::find_if(children.begin(), children.end(), [&](const Node& n) {
      return SameName(n.name, part, volume->volume.caseSensitive, style_);
    });
    if (child == children.end())
      return nullptr;
    node = &*child;
    *stored = JoinPath(*stored, node->name, style_);
  }
  return node;
}

FakeMachine::Node* FakeMachine::Add(const std::string& path, bool directory,
                                    FakeAttributes attributes) {
  std::string key;
  std::vector<std::string> components;
  Mounted* volume = VolumeOf(path, &key, &components);
  Node* node = &volume->tree;
  for (std::size_t i = 0; i < components.size(); ++i) {
    bool last = i + 1 == components.size();
    auto& children = node->children;
    auto child = std::find_if(children.begin(), children.end(),
                              [&](const Node& n) { return n.name == components[i]; });
    if (child == children.end() || last) {
      children.push_back(
          Node{components[i], last ? directory : true, last ? attributes : FakeAttributes{}, {}});
      child = children.end() - 1;
    }
    node = &*child;
  }
  return node;
}

std::vector<std::string> FakeMachine::LogicalDrives() {
  if (!style_.driveLetters)
    return {"/"};
  unsigned long mask = 0;
  for (const auto& [key, volume] : volumes_) {
    if (key.size() == 1)
      mask |= 1UL << (key[0] - 'a');
  }
  return DriveKeysFromMask(mask);
}

DriveType FakeMachine::DriveTypeOf(const std::string& root) {
  std::string key;
  std::vector<std::string> components;
  Mounted* volume = VolumeOf(root, &key, &components);
  return volume ? volume->volume.type : DriveType::NoRootDir;
}

std::optional<VolumeInfo> FakeMachine::VolumeInformation(const std::string& root) {
  std::string key;
  std::vector<std::string> components;
  Mounted* volume = VolumeOf(root, &key, &components);
  if (!volume)
    return std::nullopt;
  const FakeVolume& v = volume->volume;
  if (!v.medium) {
    if (errorMode != ErrorMode::FailCriticalErrors)
      ++systemErrorBoxes;
    return std::nullopt;
  }
  if (!v.label)
    return std::nullopt;
  return VolumeInfo{*v.label, v.casePreserved, v.caseSensitive};
}

std::optional<std::string> FakeMachine::RemoteNameOf(const std::string& driveName) {
  auto volume = volumes_.find(ToLowerText(driveName.substr(0, 1), style_));
  if (volume == volumes_.end())
    return std::nullopt;
  return volume->second.volume.remoteName;
}

ErrorMode FakeMachine::SetErrorMode(ErrorMode mode) {
  return std::exchange(errorMode, mode);
}

bool FakeMachine::ChangeDirectory(const std::string& path) {
  // "d:" alone goes to the drive's recorded folder.
  if (style_.driveLetters && path.size() == 2 && path[1] == ':') {
    std::string key = ToLowerText(path.substr(0, 1), style_);
    auto recorded = recorded_.find(key);
    return ChangeDirectory(recorded != recorded_.end() ? recorded->second
                                                       : path + style_.separator);
  }
  std::string stored;
  Node* node = Find(path, &stored);
  if (!node || !node->directory)
    return false;
  current_ = stored;
  std::string key = DriveOf(stored);
  if (!key.empty())
    recorded_[key] = stored;
  return true;
}

bool FakeMachine::SetCurrentDrive(const std::string& key) {
  ++driveChanges;
  return ChangeDirectory(DriveNameOfKey(key, style_));
}

std::string FakeMachine::DriveOf(const std::string& path) {
  if (!style_.driveLetters)
    return "/";
  if (path.size() >= 2 && path[1] == ':')
    return ToLowerText(path.substr(0, 1), style_);
  return {};
}

std::string FakeMachine::VolumeRootOf(const std::string& path) {
  return DrivePartOf(path, style_) + style_.separator;
}

std::optional<std::vector<DirectoryEntry>> FakeMachine::ListDirectory(const std::string& folder) {
  ++listings[folder];
  std::string stored;
  Node* node = Find(folder, &stored);
  if (!node || !node->directory)
    return std::nullopt;
  std::vector<DirectoryEntry> entries;
  if (!EndsWithSeparator(stored, style_)) {
    entries.push_back({".", true});
    entries.push_back({"..", true});
  }
  for (const Node& child : node->children) {
    const FakeAttributes& a = child.attributes;
    entries.push_back({child.name, child.directory, a.hidden, a.system, a.volumeLabel,
                       !child.directory && a.regular});
  }
  return entries;
}

}  // namespace vorzik::ui::testing

namespace vorzik::ui::testing {

void BuildWindowsMachine(FakeMachine& machine) {
  machine.AddVolume("a", {.type = DriveType::Removable, .label = "", .medium = false});
  machine.AddVolume("c", {.label = "SYSTEM"});
  machine.AddVolume("d", {.label = "Data"});
  machine.AddVolume("e", {.type = DriveType::CdRom, .label = "", .medium = false});
  machine.AddVolume("f", {.label = std::nullopt});
  machine.AddVolume("q", {.type = DriveType::Unknown});
  machine.AddVolume("y", {.type = DriveType::Remote, .label = "Backup"});
  machine.AddVolume("z",
                    {.type = DriveType::Remote, .label = "", .remoteName = "\\\\Server\\Share"});
  machine.AddVolume("\\\\server\\share", {.type = DriveType::Remote, .label = ""});
  machine.AddFolder("C:\\work");
  machine.AddFolder("D:\\rec");
  machine.ChangeDirectory("D:\\");
}

namespace {

// The code points of a name: UTF-8 decoded, or in Shift-JIS the full-width
// Latin letters mapped to theirs and every other pair kept above them.
std::vector<char32_t> CodePoints(std::string_view name, const PathStyle& style) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    if (style.shiftJis && IsShiftJisLeadByte(byte) && i + 1 < name.size()) {
      const bool fullWidthLatin =
          byte == 0x82 && ((next >= 0x60 && next <= 0x79) || (next >= 0x81 && next <= 0x9a));
      points.push_back(fullWidthLatin ? 0xff21 + next - (next >= 0x81 ? 0x81 - 0x20 : 0x60)
                                      : 0x110000 + (byte << 8) + next);
      i += 2;
    } else if (!style.shiftJis && byte >= 0xc0) {
      const std::size_t length = byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : 2;
      char32_t point = byte & (0x3f >> (length - 1));
      for (std::size_t k = 1; k < length && i + k < name.size(); ++k)
        point = (point << 6) | (static_cast<unsigned char>(name[i + k]) & 0x3f);
      points.push_back(point);
      i += length;
    } else {
      points.push_back(byte);
      ++i;
    }
  }
  return points;
}

char32_t FoldCase(char32_t c) {
  const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7) ||
                     (c >= 0xff21 && c <= 0xff3a);
  return upper ? c + 0x20 : c;
}

}  // namespace

NameCollation FakeLocaleCollation(const PathStyle& style) {
  return [style](std::string_view a, std::string_view b) {
    std::vector<char32_t> pa = CodePoints(a, style);
    std::vector<char32_t> pb = CodePoints(b, style);
    for (auto& c : pa)
      c = FoldCase(c);
    for (auto& c : pb)
      c = FoldCase(c);
    return pa < pb ? -1 : (pb < pa ? 1 : 0);
  };
}

}  // namespace vorzik::ui::testing
