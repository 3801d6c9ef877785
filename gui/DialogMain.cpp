#include "convert/Version.h"
#include "gui/DovetrelApp.h"
#include "gui/StartArguments.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  // The usage and the version need no display, so they are answered before Qt looks for one.
  const dovetrel::StartRequest request = dovetrel::ParseStartArguments(
      std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  if (request.bHelp) {
    std::cout << dovetrel::StartUsage();
    return 0;
  }
  if (request.bVersion) {
    std::cout << "dovetrel " << dovetrel::Version() << '\n';
    return 0;
  }
  dovetrel::CDovetrelApp app(argc, argv);
  return app.InitInstance();
}
