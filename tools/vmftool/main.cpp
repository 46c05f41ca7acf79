#include <iostream>
#include <string>
#include <vector>

#include "vmftool/package_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int code = vmftool::run(args, std::cout, std::cerr);
  std::cout.flush();
  return std::cout.good() ? code : 1;
}
