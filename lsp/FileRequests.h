#pragma once

#include "lsp/CheckedSet.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace dovetrel {

/// A request on one file that its checked set answers alone: the answer to \p params.
using FileRequest = nlohmann::json (*)(const CheckedSet& set, const std::string& strPath,
                                       const nlohmann::json& params);

/// The handler of \p method when it is such a request (hover, formatting, semantic tokens), so
/// that the server dispatches them all alike; null for any other method.
FileRequest FindFileRequest(std::string_view method);

/// What initialize announces of these requests, to be merged into the server's capabilities.
nlohmann::json FileRequestCapabilities();

} // namespace dovetrel
