#pragma once

// Placeholder for the drive box, folder list and file list; the browser work
// replaces the bodies. The constructors are the ones TForm1 uses.

#include "ui/control.h"

namespace vorzik::ui {

// The file-system and volume queries the browser needs (drives, labels, case
// flags, listing, current directory). Defined in ui/browser/file_system_queries.h.
class FileSystemQueries;

class TFileListBox : public Control {
 public:
  TFileListBox(std::string name, Rect bounds, FileSystemQueries& fs)
      : Control(std::move(name), ControlKind::FileList, bounds), fs_(fs) {}

 private:
  [[maybe_unused]] FileSystemQueries& fs_;
};

class TDirectoryListBox : public Control {
 public:
  TDirectoryListBox(std::string name, Rect bounds, FileSystemQueries& fs)
      : Control(std::move(name), ControlKind::FolderList, bounds), fs_(fs) {}
  TFileListBox* FileList = nullptr;

 private:
  [[maybe_unused]] FileSystemQueries& fs_;
};

class TDriveComboBox : public Control {
 public:
  TDriveComboBox(std::string name, Rect bounds, FileSystemQueries& fs)
      : Control(std::move(name), ControlKind::DriveBox, bounds), fs_(fs) {}
  TDirectoryListBox* DirList = nullptr;

 private:
  [[maybe_unused]] FileSystemQueries& fs_;
};

}  // namespace vorzik::ui
