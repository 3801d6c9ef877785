#pragma once

#include "lsp/CheckedSet.h"
#include "scenario/Finding.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// The 0-based column where the formatting puts the greeting after a timeout of \p nTimeoutBytes:
/// the keyword column of the key lines, or three columns after the timeout where that is further.
std::uint64_t GreetingColumn(std::size_t nTimeoutBytes);

/// A header line of \p timeout and \p greeting laid out as the formatting lays it out.
std::string HeaderLine(std::string_view timeout, std::string_view greeting);

/// The edits (byte columns) that put every word the reader takes from \p lines in its column: the
/// key in column 1, the keyword in 6, the argument in 22; the timeout in column 1 and the greeting
/// at GreetingColumn. Only the spaces before those words change, so what the reader takes stays
/// word for word: a line it reads otherwise than its words say (a word taken from its middle, a
/// word passed over before the last one taken, one word taken twice) stays as it is, and so does
/// every line when an editor would split the file otherwise than the reader (a lone CR).
std::vector<TextEdit> LayoutEdits(const std::vector<std::string>& lines);

/// The answer to textDocument/formatting for \p strPath of \p set: LayoutEdits as the protocol's
/// text edits.
nlohmann::json FormatFile(const CheckedSet& set, const std::string& strPath);

} // namespace dovetrel
