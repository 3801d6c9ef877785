#pragma once

#include "lsp/CheckedSet.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// The names of the regular files in the folder \p strFolder (empty or ending with '/'), in any
/// order; empty when the folder cannot be listed. The set does not list its folder, and completion
/// and rename need to know what else lies there.
using FolderLister = std::function<std::vector<std::string>(const std::string& strFolder)>;

/// The URI the editor knows the file \p strPath by.
using UriOfPath = std::function<std::string(const std::string& strPath)>;

/// What a request reads besides the set: the editor's URIs and the main file's folder.
struct RequestSeams {
  UriOfPath uriOf;         ///< null: every URI made from its path
  FolderLister listFolder; ///< null: the real folder
};

/// The answer to a request: the protocol's result, or why it is refused.
struct RequestAnswer {
  nlohmann::json result;
  std::string strRefusal{}; ///< not empty: send this as an error response instead of the result
};

/// True when \p method is a request on one file that the file's checked set answers alone
/// (navigation, hover, outline, completion, formatting, colours), so the server dispatches them
/// all alike.
bool IsFileRequest(std::string_view method);

/// Answers the request \p method with its \p params on \p strPath, a file of \p set.
RequestAnswer AnswerFileRequest(std::string_view method, const CheckedSet& set,
                                const std::string& strPath, const nlohmann::json& params,
                                const RequestSeams& seams = {});

/// What initialize announces of these requests, to be merged into the server's capabilities.
nlohmann::json FileRequestCapabilities();

} // namespace dovetrel
