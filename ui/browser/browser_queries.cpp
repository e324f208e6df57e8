#include "ui/browser/browser_queries.h"

#include "ui/browser/browser_text.h"

namespace vorzik::ui {

int BrowserQueries::CompareNames(std::string_view a, std::string_view b) const {
  return collation_ ? collation_(a, b) : CompareIgnoringCase(a, b, Style());
}

bool NameLess(const BrowserQueries& fs, std::string_view a, std::string_view b) {
  const int order = fs.CompareNames(a, b);
  return order != 0 ? order < 0 : a < b;
}

std::string DriveNameOfKey(const std::string& key, const PathStyle& style) {
  return style.driveLetters ? key + ":" : key;
}

std::string DriveRootOfKey(const std::string& key, const PathStyle& style) {
  return style.driveLetters ? key + ":" + style.separator : key;
}

std::vector<std::string> DriveKeysFromMask(unsigned long mask) {
  std::vector<std::string> keys;
  for (int bit = 0; bit < 26; ++bit) {
    if (mask & (1UL << bit))
      keys.emplace_back(1, static_cast<char>('a' + bit));
  }
  return keys;
}

}  // namespace vorzik::ui
