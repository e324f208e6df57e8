#include "ui/browser/file_list_box.h"

#include <algorithm>

#include "ui/browser/browser_text.h"

namespace vorzik::ui {

namespace {

// The list shows the hourglass once it grows past this position.
constexpr std::size_t kHourGlassPosition = 100;

bool IsPlainFile(const DirectoryEntry& entry) {
  return entry.regular && !entry.directory && !entry.hidden && !entry.system && !entry.volumeLabel;
}

}  // namespace

TFileListBox::TFileListBox(std::string name, Rect bounds, BrowserQueries& fs)
    : Control(std::move(name), ControlKind::FileList, bounds), fs_(fs) {
  TabStop = true;
  directory_ = fs_.CurrentDirectory();
  ReadEntries();
}

void TFileListBox::SetMask(std::string mask) {
  if (mask == mask_)
    return;
  mask_ = std::move(mask);
  ReadEntries();
}

void TFileListBox::SetDirectory(const std::string& path) {
  if (SameName(path, directory_, CaseSensitiveAt(path), fs_.Style()))
    return;
  // Leave from the present folder, as the folder list does, so a relative
  // path would resolve the same way; it may be gone by now.
  fs_.ChangeDirectory(directory_);
  if (!fs_.ChangeDirectory(path))
    return;
  std::string now = fs_.CurrentDirectory();
  if (!now.empty())
    directory_ = now;
  ReadEntries();
}

void TFileListBox::Update() {
  ReadEntries();
}

void TFileListBox::SetItemIndex(int n) {
  if (n < -1 || n >= Count())
    return;
  itemIndex_ = n;
  Notify(Property::ItemIndex);
  if (n >= 0) {
    scrollTarget_ = n;
    Notify(Property::Scroll);
  }
}

std::string TFileListBox::FullPathOf(int n) const {
  if (n < 0 || n >= Count())
    return {};
  return JoinPath(directory_, items_[n], fs_.Style());
}

void TFileListBox::Select(int n) {
  if (!Enabled() || n < 0 || n >= Count() || n == itemIndex_)
    return;
  itemIndex_ = n;
  Notify(Property::ItemIndex);
  if (OnChange)
    OnChange(*this);
}

char TFileListBox::KeyPress(char key) {
  if (!Enabled())
    return 0;
  if (OnKeyPress)
    OnKeyPress(*this, key);
  return key;
}

void TFileListBox::ReadEntries() {
  fs_.ChangeDirectory(directory_);
  items_.clear();
  shown_.clear();
  itemIndex_ = -1;
  TCursor saved = cursor_;
  bool full = false;
  std::vector<std::string> patterns = SplitMask(mask_);
  std::vector<DirectoryEntry> found;
  if (!patterns.empty())
    found = fs_.ListDirectory(directory_).value_or(std::vector<DirectoryEntry>{});
  for (const std::string& pattern : patterns) {
    for (const DirectoryEntry& entry : found) {
      if (!IsPlainFile(entry) || !MatchesWildcard(entry.name, pattern, fs_.Style()))
        continue;
      if (!Insert(entry)) {
        full = true;
        break;
      }
    }
    if (full)
      break;
  }
  SetCursor(saved);
  Notify(Property::Items);
  Notify(Property::ItemIndex);
  if (full) {
    lastError_ = kListFullMessage;
    if (OnError)
      OnError(*this, lastError_);
  }
}

bool TFileListBox::Insert(const DirectoryEntry& entry) {
  if (items_.size() >= capacity_)
    return false;
  auto at = std::upper_bound(
      items_.begin(), items_.end(), entry.name,
      [&](const std::string& a, const std::string& b) { return NameLess(fs_, a, b); });
  std::size_t position = static_cast<std::size_t>(at - items_.begin());
  items_.insert(at, entry.name);
  shown_.insert(shown_.begin() + static_cast<std::ptrdiff_t>(position), entry.shown);
  if (position == kHourGlassPosition)
    SetCursor(TCursor::crHourGlass);
  return true;
}

void TFileListBox::SetCursor(TCursor cursor) {
  if (cursor == cursor_)
    return;
  cursor_ = cursor;
  Notify(Property::Cursor);
}

bool TFileListBox::CaseSensitiveAt(const std::string& path) {
  std::optional<VolumeInfo> volume = fs_.VolumeInformation(fs_.VolumeRootOf(path));
  return volume && volume->caseSensitive;
}

}  // namespace vorzik::ui
