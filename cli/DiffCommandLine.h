#pragma once

#include "diff/GitFiles.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dovetrel {

/// Exit statuses of dovetrel-diff, as diff has them.
enum class DiffExitStatus {
  Same = 0,    ///< callers meet no difference, whatever the files' texts say
  Differs = 1, ///< callers meet a difference: each is a line on standard output
  Trouble = 2, ///< the command line was wrong, a set does not load, or the drawing failed
};

/// The whole of dovetrel-diff: \p args are the arguments after the program name. The changes and
/// help go to \p out, every message to \p err; a revision is read through \p git. Returns the exit
/// status.
[[nodiscard]] DiffExitStatus RunDiffCommandLine(const std::vector<std::string>& args,
                                                std::ostream& out, std::ostream& err,
                                                IGitRunner& git = SystemGit());

} // namespace dovetrel
