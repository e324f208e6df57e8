#include "shell/instance_finder.h"

namespace vorzik::shell {

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool TitlesMatch(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i]))
      return false;
  }
  return true;
}

bool BringRunningInstanceForward(InstanceFinder& finder, const std::string& title) {
  const WindowId found = finder.FindTitledWindow(title);
  if (found == 0)
    return false;
  // Our application-level window is never shown; the window the user knows is
  // the main window it names. A foreign window that names none is itself the target.
  WindowId target = finder.MainWindowOf(found);
  if (target == 0)
    target = found;
  if (finder.IsIconic(target))
    finder.OpenIcon(target);
  finder.SetForegroundWindow(target);
  return true;
}

}  // namespace vorzik::shell
