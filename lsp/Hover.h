#pragma once

#include "lsp/CheckedSet.h"

#include <nlohmann/json.hpp>

#include <string>

namespace dovetrel {

/// The answer to textDocument/hover on line \p nLine (1-based) of \p strPath, from the call flow
/// of \p set: on a key line, what the row does on a call ("`1` → меню `sales.ivr`: приветствие
/// …"), or why it never acts; on the header line, the menu's greeting and timeout; on either, the
/// shortest key sequence that leads to the file from the main menu. Markdown; null on a line that
/// gives no row (an empty line, a line the reading never reached).
nlohmann::json Hover(const CheckedSet& set, const std::string& strPath, int nLine);

} // namespace dovetrel
