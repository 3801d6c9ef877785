// dovetrel-convert: the conversion for scripts and machines without a display.

#include "cli/CommandLine.h"

#include <iostream>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return static_cast<int>(dovetrel::RunCommandLine(args, std::cout, std::cerr));
}
