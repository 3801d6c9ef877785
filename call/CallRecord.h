#pragma once

#include "scenario/Message.h"

#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// \p line as a call's record holds it and dovetrel-call prints it: the line and a line feed.
std::string RecordLine(std::string_view line);

/// The record of a call whose transcript is \p lines: exactly what dovetrel-call prints for the
/// same events, which dovetrel-call --expect replays.
std::string CallRecord(const std::vector<std::string>& lines);

/// Writes the record of the call \p lines to \p strPath, in place of any earlier file only once
/// complete. False, its message shown, when it cannot, or when \p strPath is one of \p setFiles
/// (the full paths of the set's own files), which stay as they are.
[[nodiscard]] bool WriteCallRecord(const std::string& strPath,
                                   const std::vector<std::string>& lines,
                                   const std::vector<std::string>& setFiles,
                                   IMessageSink& messages);

} // namespace dovetrel
