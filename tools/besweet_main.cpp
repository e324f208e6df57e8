#include "tools/tool_main.h"

int main(int argc, char** argv) {
  return vorzik::tools::RunTool("BeSweet.exe", argc, argv, vorzik::tools::RunBeSweet);
}
