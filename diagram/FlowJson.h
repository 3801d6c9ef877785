#pragma once

#include "diagram/RowHits.h"
#include "flow/CallFlow.h"

#include <string>

namespace dovetrel {

/// The version written into every JSON call flow; raised only when a field changes its meaning or
/// goes away. A tool reading version N can read every file of that version (docs/flow.md).
inline constexpr int kFlowJsonVersion = 1;

/// \p flow as JSON for other tools (docs/flow.md), its texts decoded from \p strEncoding into
/// UTF-8; with \p pHits, every action and busy step of a row it holds carries the row's count as
/// "hits". False, with the reason, when iconv knows no such code page.
[[nodiscard]] bool WriteFlowJson(const CallFlow& flow, const std::string& strEncoding,
                                 std::string& strJson, std::string& strReason,
                                 const RowHits* pHits = nullptr);

} // namespace dovetrel
