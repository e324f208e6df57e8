#pragma once

#include <string>
#include <vector>

namespace vorzik::tools {

using Words = std::vector<std::string>;

/// The work of each tool, given its arguments without the program name.
void RunBassCorrection(const Words& words, bool fir);
void RunNormalize(const Words& words);
void RunBeSweet(const Words& words);

/// Runs `work` and turns every failure into one line on standard error and an exit
/// status: 0 done, 1 the audio could not be read or written, 2 a bad command line.
int RunTool(const char* name, int argc, char** argv, void (*work)(const Words&));

}  // namespace vorzik::tools
