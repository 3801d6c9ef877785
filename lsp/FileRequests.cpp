#include "lsp/FileRequests.h"

#include "lsp/Formatting.h"
#include "lsp/Hover.h"
#include "lsp/SemanticTokens.h"

#include <utility>

namespace dovetrel {

namespace {

using Json = nlohmann::json;

constexpr std::pair<std::string_view, FileRequest> kRequests[] = {
    {"textDocument/hover",
     [](const CheckedSet& set, const std::string& strPath, const Json& params) {
       return Hover(set, strPath, params.at("position").at("line").get<int>() + 1);
     }},
    {"textDocument/formatting", [](const CheckedSet& set, const std::string& strPath,
                                   const Json& /*params*/) { return FormatFile(set, strPath); }},
    {"textDocument/semanticTokens/full",
     [](const CheckedSet& set, const std::string& strPath, const Json& /*params*/) {
       return SemanticTokens(set, strPath);
     }},
};

} // namespace

FileRequest FindFileRequest(std::string_view method) {
  for (const auto& [name, request] : kRequests)
    if (name == method)
      return request;
  return nullptr;
}

Json FileRequestCapabilities() {
  return {{"hoverProvider", true},
          {"documentFormattingProvider", true},
          {"semanticTokensProvider", {{"legend", SemanticTokensLegend()}, {"full", true}}}};
}

} // namespace dovetrel
