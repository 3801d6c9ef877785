// dovetrel-call: runs a call through the document a scenario set converts to.

#include "cli/CallCommandLine.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return static_cast<int>(dovetrel::RunCallCommandLine(args, std::cin, std::cout, std::cerr,
                                                       isatty(STDIN_FILENO) == 1));
}
