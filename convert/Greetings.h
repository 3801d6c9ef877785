#pragma once

#include "audio/AudioFile.h"
#include "flow/CallFlow.h"
#include "scenario/Finding.h"

#include <string>
#include <vector>

namespace dovetrel {

/// The sound file of \p menu's greeting, read through \p audio: it lies beside the menu's scenario
/// file under the name the greeting gives. The name is looked for decoded from the set's code page
/// \p strEncoding first (the author's machine names files in UTF-8), then as its bytes stand.
[[nodiscard]] AudioReading ReadGreeting(const FlowMenu& menu, const std::string& strEncoding,
                                        IAudioFiles& audio);

/// What the greetings of \p flow's menus tell the author, one finding per menu at its head row's
/// line: a sound file that is missing is a note, one that a telephone line does not play as it
/// stands a warning naming its format. Menus that share a scenario file are looked at once.
std::vector<Finding> FindGreetingFindings(const CallFlow& flow, const std::string& strEncoding,
                                          IAudioFiles& audio);

} // namespace dovetrel
