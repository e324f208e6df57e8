// Command lines of the bass-correction filters and the normaliser.
#include <algorithm>
#include <string>
#include <vector>

#include "tools/number_text.h"
#include "tools/tool_args.h"
#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

using Names = std::vector<std::string>;

bool IsOneOf(const std::string& word, const Names& names) {
  return std::find(names.begin(), names.end(), word) != names.end();
}

/// The value after an option: the next word, or empty when the next word is another
/// option of the tool or there is none (the front end passes an empty edit as " -q ").
std::string TakeValue(const std::vector<std::string>& words, size_t& i, size_t end,
                      const Names& optionNames) {
  if (i + 1 >= end || IsOneOf(words[i + 1], optionNames)) {
    return {};
  }
  return words[++i];
}

std::string UnexpectedWord(const std::string& word) {
  if (!word.empty() && word[0] != '-') {
    return "unexpected word '" + word + "' (a path with blanks must be quoted)";
  }
  return "unknown option '" + word + "'";
}

}  // namespace

FilterArgs ParseFilterArgs(const std::vector<std::string>& words, bool fir) {
  if (words.size() < 2) {
    throw UsageError("usage: [-y] [options] INPUT OUTPUT");
  }
  FilterArgs args;
  const size_t end = words.size() - 2;
  const Names names =
      fir ? Names{"-y", "-q", "-e", "-g", "-i", "-o"} : Names{"-y", "-e", "-g", "-i", "-o"};
  for (size_t i = 0; i < end; ++i) {
    const std::string& word = words[i];
    if (word == "-y") {
      args.overwrite = true;
    } else if (word == "-q" && fir) {
      args.quality = ParseNumber(TakeValue(words, i, end, names), 0, 999, "-q");
    } else if (word == "-e") {
      args.effectPercent = ParseNumber(TakeValue(words, i, end, names), 0, 300, "-e");
    } else if (word == "-g") {
      args.gainPercent = ParseNumber(TakeValue(words, i, end, names), 0, 999, "-g");
    } else if (word == "-i") {
      args.fadeInFrames = ParseNumber(TakeValue(words, i, end, names), 0, 99999, "-i");
    } else if (word == "-o") {
      args.fadeOutFrames = ParseNumber(TakeValue(words, i, end, names), 0, 99999, "-o");
    } else {
      throw UsageError(UnexpectedWord(word));
    }
  }
  args.input = words[end];
  args.output = words[end + 1];
  if (args.input.empty() || args.output.empty()) {
    throw UsageError("input and output paths must not be empty");
  }
  if (IsOneOf(args.input, names) || IsOneOf(args.output, names)) {
    throw UsageError("missing INPUT or OUTPUT after the options");
  }
  return args;
}

NormalizeArgs ParseNormalizeArgs(const std::vector<std::string>& words) {
  NormalizeArgs args;
  std::vector<std::string> rest;
  bool haveOutput = false;
  const Names names = {"-m", "-o"};
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "-m") {
      args.ratioPercent = ParseNumber(TakeValue(words, i, words.size(), names), 0, 100, "-m");
    } else if (words[i] == "-o") {
      args.output = TakeValue(words, i, words.size(), names);
      haveOutput = true;
    } else if (!words[i].empty() && words[i][0] == '-' && words[i].size() > 1) {
      throw UsageError(UnexpectedWord(words[i]));
    } else {
      rest.push_back(words[i]);
    }
  }
  if (!haveOutput || args.output.empty()) {
    throw UsageError("usage: [-m PERCENT] -o OUTPUT INPUT (no output given)");
  }
  if (rest.empty()) {
    throw UsageError("no input given");
  }
  if (rest.size() > 1) {
    throw UsageError(UnexpectedWord(rest[1]));
  }
  if (rest[0].empty()) {
    throw UsageError("input path must not be empty");
  }
  args.input = rest[0];
  return args;
}

}  // namespace vorzik::tools
