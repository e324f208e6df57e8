#include "pipeline/command_line.h"

#include <gtest/gtest.h>

#include <random>

namespace vorzik {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  struct Case {
    std::string line;
    Args args;
  } cases[] = {
      {"tool a b", {"tool", "a", "b"}},
      {"  tool\ta  \t b  ", {"tool", "a", "b"}},
      {"tool \"a b\" c", {"tool", "a b", "c"}},
      {"tool a\"b c\"d", {"tool", "ab cd"}},
      {"tool \"\"", {"tool", ""}},
      {"tool \"\" \"\"", {"tool", "", ""}},
      {"tool \"a\"\"b\"", {"tool", "a\"b"}},
      {"tool \"a\"\"\"", {"tool", "a\""}},
      {"tool a\\\\b", {"tool", "a\\\\b"}},
      {"tool a\\\"b", {"tool", "a\"b"}},
      {"tool a\\\\\"b c\"", {"tool", "a\\b c"}},
      {"tool a\\\\\\\"b", {"tool", "a\\\"b"}},
      {"tool \"D:\\rec\\a.mp2\"", {"tool", "D:\\rec\\a.mp2"}},
      {"tool \"unclosed b", {"tool", "unclosed b"}},
      // The program name: quotes group, backslashes are plain.
      {"\"C:\\Program Files\\t.exe\" x", {"C:\\Program Files\\t.exe", "x"}},
      {"C:\\dir\\\"t\".exe x", {"C:\\dir\\t.exe", "x"}},
      {"", {}},
      {"   ", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
  }
}

TEST(SplitCommandLine, SplitsTheToolTemplates) {
  EXPECT_EQ(SplitCommandLine("BeSweet.exe -core( -input \"D:\\rec\\a b.mp2\" -output "
                             "\"D:\\rec\\EtcEnc\\a b_TMP1.wav\" -2ch )"),
            (Args{"BeSweet.exe", "-core(", "-input", "D:\\rec\\a b.mp2", "-output",
                  "D:\\rec\\EtcEnc\\a b_TMP1.wav", "-2ch", ")"}));
  EXPECT_EQ(SplitCommandLine("x -mp2enc(  -b 224 -m s )"),
            (Args{"x", "-mp2enc(", "-b", "224", "-m", "s", ")"}));
}

TEST(QuoteArgument, SplittingAQuotedArgumentGivesItBack) {
  const std::string alphabet = std::string("ab \t\\\"x\x82") + '\0';
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string arg;
    int length = random() % 12;
    for (int i = 0; i < length; ++i) {
      char c = alphabet[random() % (alphabet.size() - 1)];  // no NUL
      arg += c;
    }
    Args split = SplitCommandLine("tool " + QuoteArgument(arg) + " next");
    ASSERT_EQ(split, (Args{"tool", arg, "next"})) << "argument: [" << arg << "]";
  }
}

}  // namespace
}  // namespace vorzik
