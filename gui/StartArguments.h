#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// What `dovetrel` was started to do, read from its arguments once Qt has taken its own.
struct StartRequest {
  bool bHelp = false;                ///< --help: print the usage and end, without a window
  bool bVersion = false;             ///< --version: print the version and end, without a window
  std::string strIvrFile;            ///< the scenario to open the window with; empty for none
  std::vector<std::string> vecNotes; ///< what was left aside, one line each for standard error
};

/// Reads \p args (without the program's name): the first file is the IVR scenario, given as a
/// path or as a file:// address (what a file manager's "Open with" passes). An unknown option and
/// every further file are left aside with a note, so that the window still opens; "--" ends the
/// options.
StartRequest ParseStartArguments(const std::vector<std::string>& args);

/// The usage text of `dovetrel`, several lines, each ending in a newline.
std::string_view StartUsage();

} // namespace dovetrel
