#include "ui/browser/drive_combo_box.h"

#include "ui/browser/browser_text.h"

namespace vorzik::ui {

TDriveComboBox::TDriveComboBox(std::string name, Rect bounds, BrowserQueries& fs)
    : Control(std::move(name), ControlKind::DriveBox, bounds), fs_(fs) {
  TabStop = true;
  drive_ = fs_.DriveOf(fs_.CurrentDirectory());
  BuildEntries();
}

void TDriveComboBox::BuildEntries() {
  entries_.clear();
  for (const std::string& key : fs_.LogicalDrives()) {
    std::string text = EntryText(key);
    if (!text.empty())
      entries_.push_back({key, std::move(text)});
  }
  itemIndex_ = IndexOf(drive_);
  Notify(Property::Items);
  Notify(Property::ItemIndex);
}

void TDriveComboBox::Choose(int index) {
  if (!Enabled() || index < 0 || index >= static_cast<int>(entries_.size()))
    return;
  const std::string key = entries_[index].key;
  const PathStyle& style = fs_.Style();
  // Drive letters compare ignoring case; mount points are paths.
  if (!drive_.empty() && SameName(key, drive_, !style.driveLetters, style))
    return;
  drive_ = key;
  itemIndex_ = index;
  Notify(Property::ItemIndex);
  if (DirList)
    DirList->SetDrive(key);
}

char TDriveComboBox::KeyPress(char key) {
  if (!Enabled())
    return 0;
  if (OnKeyPress)
    OnKeyPress(*this, key);
  return key;
}

// Empty for a drive that gets no entry.
std::string TDriveComboBox::EntryText(const std::string& key) {
  const PathStyle& style = fs_.Style();
  std::string name = DriveNameOfKey(key, style);
  std::string root = DriveRootOfKey(key, style);
  switch (fs_.DriveTypeOf(root)) {
    case DriveType::Removable:
      // Reading a floppy's label would spin it up; the letter is enough.
      return name;
    case DriveType::Fixed:
    case DriveType::CdRom:
    case DriveType::RamDisk:
      return name + " " + LabelText(root);
    case DriveType::Remote:
      if (std::optional<std::string> remote = fs_.RemoteNameOf(name))
        return name + " " + ToLowerText(*remote, style);
      return name + " " + LabelText(root);
    case DriveType::Unknown:
    case DriveType::NoRootDir:
      break;
  }
  return {};
}

std::string TDriveComboBox::LabelText(const std::string& root) {
  // A drive without medium must not raise the platform's own error box.
  ErrorMode previous = fs_.SetErrorMode(ErrorMode::FailCriticalErrors);
  std::optional<VolumeInfo> volume = fs_.VolumeInformation(root);
  fs_.SetErrorMode(previous);
  return "[" + (volume ? ToLowerText(volume->label, fs_.Style()) : std::string()) + "]";
}

int TDriveComboBox::IndexOf(const std::string& key) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!key.empty() && entries_[i].key == key)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vorzik::ui
