#pragma once

#include <map>
#include <string>
#include <utility>

namespace dovetrel {

/// How many recorded calls took each row that can act, by the row's file (as the call flow names
/// it) and line: what a drawing of the calls' coverage shows on the arrows. A row it does not hold
/// cannot act in the documents the calls ran on, and is drawn as it always is.
using RowHits = std::map<std::pair<std::string, int>, int>;

} // namespace dovetrel
