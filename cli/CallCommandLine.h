#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dovetrel {

/// Exit statuses of dovetrel-call.
enum class CallExitStatus {
  Success = 0, ///< the call ran as far as its events went (with --expect: as recorded)
  Failure = 1, ///< the set does not convert, or its document cannot be run
  Usage = 2,   ///< the command line was wrong, or an event did not fit the call
  Differs = 3, ///< --expect only: the call differs from its record
};

/// The whole of dovetrel-call: \p args are the arguments after the program name. The transcript
/// and help go to \p out, every message to \p err. With no events and \p bInteractiveInput (a
/// terminal on standard input), events are asked for on \p err and read from \p in, one line at
/// a time. Returns the exit status.
[[nodiscard]] CallExitStatus RunCallCommandLine(const std::vector<std::string>& args,
                                                std::istream& in, std::ostream& out,
                                                std::ostream& err, bool bInteractiveInput);

} // namespace dovetrel
