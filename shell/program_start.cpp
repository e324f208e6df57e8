#include "shell/program_start.h"

namespace vorzik::shell {

const char kProgramUsage[] =
    "usage: vorzik [FOLDER]\n"
    "Opens the Vorzik window on FOLDER, or on the current folder without one.\n"
    "When Vorzik already runs, its window comes to the front instead, and FOLDER\n"
    "is not passed on to it.\n"
    "\n"
    "  -h, --help     this text\n"
    "  -V, --version  the version and the licence\n"
    "  --             every later argument is FOLDER, even one starting with -\n";

std::string ParseProgramArguments(const std::vector<std::string>& args, ProgramArguments& parsed) {
  bool help = false, version = false, optionsEnded = false;
  for (const std::string& arg : args) {
    // A lone "-" is no option; after "--" nothing is.
    if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
      if (parsed.folder)
        return "more than one FOLDER given: " + arg;
      parsed.folder = arg;
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      help = true;
    } else if (arg == "-V" || arg == "--version") {
      version = true;
    } else {
      return "unknown option: " + arg;
    }
  }
  if (help)
    parsed.action = ProgramArguments::Action::Help;
  else if (version)
    parsed.action = ProgramArguments::Action::Version;
  return {};
}

}  // namespace vorzik::shell
