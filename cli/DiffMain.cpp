// dovetrel-diff: what changes for callers between two versions of a scenario set.

#include "cli/DiffCommandLine.h"

#include <iostream>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return static_cast<int>(dovetrel::RunDiffCommandLine(args, std::cout, std::cerr));
}
