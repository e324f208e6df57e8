#include "pipeline/command_line.h"

namespace vorzik {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The program name: quotes toggle grouping, nothing else is special.
std::size_t ReadProgramName(std::string_view line, std::size_t i, std::string& out) {
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      out += c;
    }
  }
  return i;
}

std::size_t ReadArgument(std::string_view line, std::size_t i, std::string& out) {
  bool quoted = false;
  while (i < line.size()) {
    char c = line[i];
    if (c == '\\') {
      std::size_t run = 0;
      while (i < line.size() && line[i] == '\\') {
        ++run;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        out.append(run / 2, '\\');
        if (run % 2 == 1) {
          out += '"';
          ++i;
        }
      } else {
        out.append(run, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        out += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    if (IsBlank(c) && !quoted)
      break;
    out += c;
    ++i;
  }
  return i;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  if (i == line.size())
    return args;
  args.emplace_back();
  i = ReadProgramName(line, i, args.back());
  for (;;) {
    while (i < line.size() && IsBlank(line[i]))
      ++i;
    if (i == line.size())
      break;
    args.emplace_back();
    i = ReadArgument(line, i, args.back());
  }
  return args;
}

std::string QuoteArgument(std::string_view argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

}  // namespace vorzik
