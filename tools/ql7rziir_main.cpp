#include "tools/tool_main.h"

namespace {
void Work(const vorzik::tools::Words& words) {
  vorzik::tools::RunBassCorrection(words, false);
}
}  // namespace

int main(int argc, char** argv) {
  return vorzik::tools::RunTool("ql7rziir.exe", argc, argv, Work);
}
