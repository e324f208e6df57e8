#include "ui/browser/directory_list_box.h"

#include <algorithm>

#include "ui/browser/browser_text.h"

namespace vorzik::ui {

namespace {

constexpr char kEnter = 13;

}  // namespace

std::vector<FolderEntry> FolderPathEntries(std::string_view path, const PathStyle& style) {
  std::string root = DrivePartOf(path, style) + style.separator;
  if (path.size() <= root.size()) {
    // A drive root is at once root and current entry; a bare share is its root.
    FolderKind kind = IsSharePath(path, style) ? FolderKind::Root : FolderKind::Current;
    return {{root, kind, 0}};
  }
  std::vector<FolderEntry> entries{{root, FolderKind::Root, 0}};
  std::string_view rest = path.substr(root.size());
  std::vector<std::size_t> separators = SeparatorOffsets(rest, style);
  separators.push_back(rest.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i < separators.size(); ++i) {
    bool last = i + 1 == separators.size();
    entries.push_back({std::string(rest.substr(start, separators[i] - start)),
                       last ? FolderKind::Current : FolderKind::Ancestor, static_cast<int>(i + 1)});
    start = separators[i] + 1;
  }
  return entries;
}

TDirectoryListBox::TDirectoryListBox(std::string name, Rect bounds, BrowserQueries& fs)
    : Control(std::move(name), ControlKind::FolderList, bounds), fs_(fs) {
  TabStop = true;
  directory_ = fs_.CurrentDirectory();
  Rebuild();
}

void TDirectoryListBox::SetDrive(const std::string& key) {
  if (key == Drive())
    return;
  fs_.SetCurrentDrive(key);
  std::string now = fs_.CurrentDirectory();
  if (!now.empty())
    directory_ = now;
  Rebuild();
  if (FileList)
    FileList->SetDirectory(directory_);
}

std::string TDirectoryListBox::DisplayText(int index) const {
  const std::string& name = entries_.at(index).name;
  return casePreserved_ || caseSensitive_ ? name : ToLowerText(name, fs_.Style());
}

std::string TDirectoryListBox::EntryTarget(int index) const {
  const PathStyle& style = fs_.Style();
  const FolderEntry& entry = entries_.at(index);
  std::string drivePart = DrivePartOf(directory_, style);
  switch (entry.kind) {
    case FolderKind::Root:
      return drivePart + style.separator;
    case FolderKind::Current:
      return directory_;
    case FolderKind::Subfolder:
      return JoinPath(directory_, entry.name, style);
    case FolderKind::Ancestor:
      break;
  }
  // The ancestor at position i ends just before the (i+1)-th separator after
  // the drive part: in D:\a\b\c the entry b gives D:\a\b.
  std::vector<std::size_t> separators =
      SeparatorOffsets(std::string_view(directory_).substr(drivePart.size()), style);
  std::size_t cut = static_cast<std::size_t>(index) < separators.size()
                        ? drivePart.size() + separators[index]
                        : directory_.size();
  return directory_.substr(0, cut);
}

void TDirectoryListBox::Highlight(int index) {
  if (!Enabled() || index < 0 || index >= static_cast<int>(entries_.size()))
    return;
  highlight_ = index;
  Notify(Property::ItemIndex);
}

void TDirectoryListBox::Open(int index) {
  if (!Enabled() || index < 0 || index >= static_cast<int>(entries_.size()))
    return;
  std::string target = EntryTarget(index);
  if (SameName(target, directory_, caseSensitive_, fs_.Style()))
    return;
  ChangeTo(target);
}

char TDirectoryListBox::KeyPress(char key) {
  if (!Enabled())
    return 0;
  if (OnKeyPress)
    OnKeyPress(*this, key);
  if (key == kEnter)
    Open(highlight_);
  return key;
}

void TDirectoryListBox::ChangeTo(const std::string& target) {
  // Go back to our own folder first (it may be gone), so that a target the
  // platform cannot enter leaves the current directory where the list is.
  fs_.ChangeDirectory(directory_);
  fs_.ChangeDirectory(target);
  std::string now = fs_.CurrentDirectory();
  if (!now.empty())
    directory_ = now;
  Rebuild();
  if (FileList)
    FileList->SetDirectory(directory_);
}

void TDirectoryListBox::Rebuild() {
  std::optional<VolumeInfo> volume = fs_.VolumeInformation(fs_.VolumeRootOf(directory_));
  casePreserved_ = volume && volume->casePreserved;
  caseSensitive_ = volume && volume->caseSensitive;
  entries_ = FolderPathEntries(directory_, fs_.Style());
  highlight_ = static_cast<int>(entries_.size()) - 1;
  AddSubfolders();
  Notify(Property::Items);
  Notify(Property::ItemIndex);
}

void TDirectoryListBox::AddSubfolders() {
  const PathStyle& style = fs_.Style();
  std::vector<std::string> names;
  for (const DirectoryEntry& entry :
       fs_.ListDirectory(directory_).value_or(std::vector<DirectoryEntry>{})) {
    if (entry.directory && !entry.hidden && !entry.system && entry.name != "." &&
        entry.name != "..")
      names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return NameLess(fs_, a, b); });
  // A name that differs from the one before only in case is the same folder,
  // unless the volume tells names apart by case.
  auto same = [&](const std::string& a, const std::string& b) {
    return SameName(a, b, caseSensitive_, style);
  };
  names.erase(std::unique(names.begin(), names.end(), same), names.end());
  int depth = entries_.empty() ? 1 : entries_.back().depth + 1;
  for (std::string& name : names)
    entries_.push_back({std::move(name), FolderKind::Subfolder, depth});
}

}  // namespace vorzik::ui
