#pragma once

#include <string>
#include <vector>

#include "ui/browser/browser_queries.h"
#include "ui/browser/directory_list_box.h"
#include "ui/control.h"

namespace vorzik::ui {

enum class TTextCase { tcLowerCase };

struct DriveEntry {
  std::string key;   // the drive's key: its letter, or its mount point
  std::string text;  // as shown: "d: [data]", "z: \\server\share", "a:"
};

/// The drive box DCB1: a pick-only list of the usable drives. Choosing one
/// moves the folder list to that drive.
class TDriveComboBox : public Control {
 public:
  TDriveComboBox(std::string name, Rect bounds, BrowserQueries& fs);

  // Drive letters are shown and kept in lower case.
  static constexpr TTextCase TextCase = TTextCase::tcLowerCase;

  // Choosing a drive moves this list to it.
  TDirectoryListBox* DirList = nullptr;

  const std::vector<DriveEntry>& Items() const { return entries_; }
  // The selected entry; -1 when no drive is selected.
  int ItemIndex() const { return itemIndex_; }
  // The selected drive's key; empty when none is selected.
  const std::string& Drive() const { return drive_; }
  // Reads the drives and their labels again and selects the present drive.
  void BuildEntries();

  // User actions; ignored while the control is switched off.
  void Choose(int index);
  // Runs OnKeyPress and returns the key as it left it (0: swallowed).
  char KeyPress(char key);

 private:
  std::string EntryText(const std::string& key);
  std::string LabelText(const std::string& root);
  int IndexOf(const std::string& key) const;

  BrowserQueries& fs_;
  std::vector<DriveEntry> entries_;
  int itemIndex_ = -1;
  std::string drive_;
};

}  // namespace vorzik::ui
