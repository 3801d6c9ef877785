#pragma once

#include "diagram/DiagramGraph.h"
#include "flow/CallFlow.h"

#include <string>

namespace dovetrel {

/// The version written into every JSON call flow; raised only when a field changes its meaning or
/// goes away. A tool reading version N can read every file of that version (docs/flow.md).
inline constexpr int kFlowJsonVersion = 1;

/// \p flow as JSON for other tools (docs/flow.md), its texts decoded from \p strEncoding into
/// UTF-8; with the recorded calls' counts of \p pMarks, every action and busy step of a row they
/// hold carries the row's count as "hits", and a dial whose no answer they count the calls that
/// went unanswered as "noAnswerHits" (a comparison's marks are for the drawings). False, with the
/// reason, when iconv knows no such code page.
[[nodiscard]] bool WriteFlowJson(const CallFlow& flow, const std::string& strEncoding,
                                 std::string& strJson, std::string& strReason,
                                 const DiagramMarks* pMarks = nullptr);

} // namespace dovetrel
