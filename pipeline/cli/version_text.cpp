#include "pipeline/cli/version_text.h"

namespace vorzik {

std::string VersionText(const std::string& command) {
  return command + " (Vorzik) " VORZIK_VERSION
                   "\n"
                   "Copyright (C) 2026 The Vorzik developers\n"
                   "License GPLv3+: GNU GPL version 3 or later "
                   "<https://www.gnu.org/licenses/gpl.html>.\n"
                   "This is free software: you are free to change and redistribute it.\n"
                   "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace vorzik
