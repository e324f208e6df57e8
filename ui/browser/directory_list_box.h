#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/browser/browser_queries.h"
#include "ui/browser/file_list_box.h"
#include "ui/control.h"

namespace vorzik::ui {

enum class FolderKind { Root, Ancestor, Current, Subfolder };

struct FolderEntry {
  std::string name;  // as stored; the root entry with its separator (D:\)
  FolderKind kind = FolderKind::Subfolder;
  int depth = 0;  // indentation level of the tree
};

// The root, ancestor and current entries of a folder path, in path order.
std::vector<FolderEntry> FolderPathEntries(std::string_view path, const PathStyle& style);

/// The folder list DLB1: the open folder as a tree of its root, its ancestors,
/// itself and its subfolders. Opening an entry makes it the current directory
/// and passes it on to the file list.
class TDirectoryListBox : public Control {
 public:
  TDirectoryListBox(std::string name, Rect bounds, BrowserQueries& fs);

  // Every change of folder is passed on to this list.
  TFileListBox* FileList = nullptr;

  // The folder path, as the platform's current-directory query gave it.
  const std::string& Directory() const { return directory_; }
  // The first character of the folder path: D for D:\rec, a separator for a
  // share path (and for every POSIX path).
  char DriveLetter() const { return directory_.empty() ? '\0' : directory_.front(); }
  // The key of the drive the folder lies on; empty for a share.
  std::string Drive() const { return fs_.DriveOf(directory_); }
  // Moves to the drive's recorded folder unless the folder already lies on it.
  void SetDrive(const std::string& key);

  const std::vector<FolderEntry>& Items() const { return entries_; }
  // An entry's text as shown: lower case on a volume that neither keeps nor
  // tells apart letter case.
  std::string DisplayText(int index) const;
  // The highlighted entry.
  int ItemIndex() const { return highlight_; }
  // The folder that opening the entry goes to.
  std::string EntryTarget(int index) const;

  bool CasePreserved() const { return casePreserved_; }
  bool CaseSensitive() const { return caseSensitive_; }

  // User actions; ignored while the control is switched off. A single click
  // or an arrow key only moves the highlight; a double click opens.
  void Highlight(int index);
  void Open(int index);
  // Runs OnKeyPress; an Enter it leaves alone opens the highlighted entry.
  char KeyPress(char key);

 private:
  void Rebuild();
  void AddSubfolders();
  void ChangeTo(const std::string& target);

  BrowserQueries& fs_;
  std::string directory_;
  std::vector<FolderEntry> entries_;
  int highlight_ = -1;
  bool casePreserved_ = false;
  bool caseSensitive_ = false;
};

}  // namespace vorzik::ui
