#include "tools/tool_main.h"

int main(int argc, char** argv) {
  return vorzik::tools::RunTool("normalize.exe", argc, argv, vorzik::tools::RunNormalize);
}
