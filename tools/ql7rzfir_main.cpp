#include "tools/tool_main.h"

namespace {
void Work(const vorzik::tools::Words& words) {
  vorzik::tools::RunBassCorrection(words, true);
}
}  // namespace

int main(int argc, char** argv) {
  return vorzik::tools::RunTool("ql7rzfir.exe", argc, argv, Work);
}
