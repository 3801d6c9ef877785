#pragma once

#include "audio/AudioFile.h"
#include "flow/CallFlow.h"

#include <string>
#include <vector>

namespace dovetrel {

/// The caller's path to every row of \p flow that transfers the call or ends it (dials and
/// disconnects, after a key, no input, a fax or a busy number): the fewest events that reach it
/// from the start of the call, in the words dovetrel-call takes ("1 silence busy"), and what the
/// caller hears and waits on the way: each greeting with its length, read through \p audio beside
/// its scenario file, and the timeouts that pass. One line per row, menu by menu in table order,
/// then in row order; a row the call never reaches says so. The ends no row gives in a menu a call
/// reaches have lines too, as the simulator ends the call there: a busy number where the dial has
/// no busy row (after the dial's line), the first key a telephone sends that no row of the menu
/// answers, and no input where the menu has no no-input row (after the menu's rows). Texts of the
/// set are decoded from \p strEncoding.
std::vector<std::string> DescribeCallPaths(const CallFlow& flow, const std::string& strEncoding,
                                           IAudioFiles& audio);

} // namespace dovetrel
