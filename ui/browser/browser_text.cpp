#include "ui/browser/browser_text.h"

namespace vorzik::ui {

namespace {

// Calls visit(start, length) for every character of text.
template <typename Visit>
void ForEachCharacter(std::string_view text, const PathStyle& style, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    bool pair = style.shiftJis && IsShiftJisLeadByte(static_cast<unsigned char>(text[i])) &&
                i + 1 < text.size();
    std::size_t length = pair ? 2 : 1;
    visit(i, length);
    i += length;
  }
}

std::vector<std::string_view> Characters(std::string_view text, const PathStyle& style) {
  std::vector<std::string_view> characters;
  ForEachCharacter(text, style, [&](std::size_t start, std::size_t length) {
    characters.push_back(text.substr(start, length));
  });
  return characters;
}

bool SameCharacterIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  if (a.size() == 2)
    return a == b;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(a[0]) == lower(b[0]);
}

bool MatchCharacters(const std::vector<std::string_view>& name,
                     const std::vector<std::string_view>& pattern) {
  std::size_t n = 0, p = 0;
  std::size_t starAt = std::string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == "*") {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() &&
               (pattern[p] == "?" || SameCharacterIgnoringCase(name[n], pattern[p]))) {
      ++n;
      ++p;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == "*")
    ++p;
  return p == pattern.size();
}

}  // namespace

std::string ToLowerText(std::string_view text, const PathStyle& style) {
  std::string lower(text);
  ForEachCharacter(text, style, [&](std::size_t start, std::size_t length) {
    char& c = lower[start];
    if (length == 1 && c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  });
  return lower;
}

int CompareIgnoringCase(std::string_view a, std::string_view b, const PathStyle& style) {
  std::string la = ToLowerText(a, style);
  std::string lb = ToLowerText(b, style);
  // Bytes compare unsigned, so double-byte names sort after ASCII ones.
  return std::string_view(la).compare(lb) < 0 ? -1 : (la == lb ? 0 : 1);
}

bool SameName(std::string_view a, std::string_view b, bool caseSensitive, const PathStyle& style) {
  return caseSensitive ? a == b : CompareIgnoringCase(a, b, style) == 0;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern, const PathStyle& style) {
  if (pattern.empty())
    return false;
  if (MatchCharacters(Characters(name, style), Characters(pattern, style)))
    return true;
  // "*.*" and "a.*" also take "a": a missing extension matches an empty one.
  bool noExtension = name.find('.') == std::string_view::npos;
  if (noExtension && pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
    return MatchCharacters(Characters(name, style),
                           Characters(pattern.substr(0, pattern.size() - 2), style));
  return false;
}

std::vector<std::string> SplitMask(std::string_view mask) {
  std::vector<std::string> patterns;
  if (mask.empty())
    return patterns;
  std::size_t start = 0;
  for (;;) {
    std::size_t semicolon = mask.find(';', start);
    patterns.emplace_back(mask.substr(start, semicolon - start));
    if (semicolon == std::string_view::npos)
      return patterns;
    start = semicolon + 1;
  }
}

std::vector<std::size_t> SeparatorOffsets(std::string_view path, const PathStyle& style) {
  std::vector<std::size_t> offsets;
  ForEachCharacter(path, style, [&](std::size_t start, std::size_t length) {
    if (length == 1 && path[start] == style.separator)
      offsets.push_back(start);
  });
  return offsets;
}

bool IsSharePath(std::string_view path, const PathStyle& style) {
  return style.driveLetters && path.size() >= 2 && path[0] == style.separator &&
         path[1] == style.separator;
}

std::string DrivePartOf(std::string_view path, const PathStyle& style) {
  if (!style.driveLetters)
    return {};
  if (IsSharePath(path, style)) {
    // \\server\share: up to the separator after the share name.
    std::vector<std::size_t> separators = SeparatorOffsets(path, style);
    return std::string(separators.size() > 3 ? path.substr(0, separators[3]) : path);
  }
  return std::string(path.substr(0, path.size() >= 2 && path[1] == ':' ? 2 : 0));
}

}  // namespace vorzik::ui
