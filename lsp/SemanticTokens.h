#pragma once

#include "lsp/CheckedSet.h"

#include <nlohmann/json.hpp>

#include <string>

namespace dovetrel {

/// The token types the server colours, in the legend's order, as the protocol's standard names:
/// "enumMember" the key (its first character, all the reader keeps), "keyword" a recognised action
/// keyword (an unrecognised action word stays uncoloured: it does nothing), "parameter" the
/// argument, "string" the greeting, "number" the timeout. No modifiers.
nlohmann::json SemanticTokensLegend();

/// The answer to textDocument/semanticTokens/full for \p strPath of \p set: every word the reader
/// takes, where it takes it (a word taken from its middle is coloured from there), in the
/// protocol's relative encoding and UTF-16 columns. None for a file an editor splits otherwise
/// than the reader (a lone CR), whose lines the editor numbers differently.
nlohmann::json SemanticTokens(const CheckedSet& set, const std::string& strPath);

} // namespace dovetrel
