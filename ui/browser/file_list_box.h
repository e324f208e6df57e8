#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/browser/browser_queries.h"
#include "ui/control.h"

namespace vorzik::ui {

enum class TCursor { crDefault, crHourGlass };
enum class TFileType { ftNormal };

// The error shown when the list refuses another entry.
inline constexpr char kListFullMessage[] = "行を挿入できません";

/// The file list FLB1: the plain files of its folder that match the mask,
/// sorted ascending with letter case ignored. The batch walks it by index.
class TFileListBox : public Control {
 public:
  using ErrorHandler = std::function<void(Control& sender, const std::string& message)>;

  TFileListBox(std::string name, Rect bounds, BrowserQueries& fs);

  // Only plain files, one selected entry at most, names without icons.
  static constexpr TFileType FileType = TFileType::ftNormal;
  static constexpr bool MultiSelect = false;
  static constexpr bool ShowGlyphs = false;

  const std::string& Mask() const { return mask_; }
  // Patterns separated by ";"; a changed mask reads the entries again.
  void SetMask(std::string mask);

  // The folder path, as the platform's current-directory query gave it.
  const std::string& Directory() const { return directory_; }
  // Takes the folder the folder list moved to.
  void SetDirectory(const std::string& path);
  // Reads the entries of the present folder again.
  void Update();

  // The names the batch joins to the folder path, as the tools open them.
  const std::vector<std::string>& Items() const { return items_; }
  // Entry n as the user knows it: its name as stored, in UTF-8.
  const std::string& ShownName(int n) const { return shown_[n].empty() ? items_[n] : shown_[n]; }
  int Count() const { return static_cast<int>(items_.size()); }
  // -1 when nothing is selected.
  int ItemIndex() const { return itemIndex_; }
  // Selects entry n and brings it into view; an n at or past the end keeps
  // the selection as it was. -1 clears it. Runs no OnChange.
  void SetItemIndex(int n);
  // The folder path and entry n joined by one separator; empty for an n
  // outside the list.
  std::string FullPathOf(int n) const;
  // The full path of the selected entry; empty when nothing is selected.
  std::string FileName() const { return FullPathOf(itemIndex_); }
  // The entry the list must show; follows every SetItemIndex.
  int ScrollTarget() const { return scrollTarget_; }

  // The mouse pointer while the entries are read.
  TCursor Cursor() const { return cursor_; }
  // How many entries the platform's list takes.
  void SetCapacity(std::size_t capacity) { capacity_ = capacity; }

  // User actions; ignored while the control is switched off.
  void Select(int n);
  // Runs OnKeyPress and returns the key as it left it (0: swallowed).
  char KeyPress(char key);

  // Runs after the user changed the selection.
  Handler OnChange;
  // Shows the message in an error box; without one the message is only kept.
  ErrorHandler OnError;
  const std::string& LastError() const { return lastError_; }

 private:
  void ReadEntries();
  // False when the list is full.
  bool Insert(const DirectoryEntry& entry);
  void SetCursor(TCursor cursor);
  bool CaseSensitiveAt(const std::string& path);

  BrowserQueries& fs_;
  std::string mask_ = "*.*";
  std::string directory_;
  std::vector<std::string> items_;
  std::vector<std::string> shown_;
  int itemIndex_ = -1;
  int scrollTarget_ = -1;
  TCursor cursor_ = TCursor::crDefault;
  std::size_t capacity_ = INT_MAX;
  std::string lastError_;
};

}  // namespace vorzik::ui
