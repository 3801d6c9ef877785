#include "lsp/FileRequests.h"

#include "lsp/Formatting.h"
#include "lsp/Hover.h"
#include "lsp/Navigation.h"
#include "lsp/SemanticTokens.h"

#include <utility>

namespace dovetrel {

namespace {

using Json = nlohmann::json;

using Request = RequestAnswer (*)(const CheckedSet& set, const std::string& strPath,
                                  const Json& params, const RequestSeams& seams);

const Json& Position(const Json& params) {
  return params.at("position");
}

constexpr std::pair<std::string_view, Request> kRequests[] = {
    {"textDocument/hover",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& /*seams*/) {
       return RequestAnswer{Hover(set, strPath, Position(params).at("line").get<int>() + 1)};
     }},
    {"textDocument/formatting",
     [](const CheckedSet& set, const std::string& strPath, const Json& /*params*/,
        const RequestSeams& /*seams*/) { return RequestAnswer{FormatFile(set, strPath)}; }},
    {"textDocument/semanticTokens/full",
     [](const CheckedSet& set, const std::string& strPath, const Json& /*params*/,
        const RequestSeams& /*seams*/) { return RequestAnswer{SemanticTokens(set, strPath)}; }},
    {"textDocument/documentSymbol",
     [](const CheckedSet& set, const std::string& strPath, const Json& /*params*/,
        const RequestSeams& /*seams*/) {
       return RequestAnswer{ListDocumentSymbols(set, strPath)};
     }},
    {"textDocument/definition",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& seams) {
       return RequestAnswer{FindDefinition(set, strPath, Position(params), seams)};
     }},
    {"textDocument/references",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& seams) {
       const bool bDeclaration =
           params.value("context", Json::object()).value("includeDeclaration", false);
       return RequestAnswer{FindReferences(set, strPath, Position(params), bDeclaration, seams)};
     }},
    {"textDocument/prepareRename",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& /*seams*/) { return PrepareRename(set, strPath, Position(params)); }},
    {"textDocument/rename",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& seams) {
       return RenameFile(set, strPath, Position(params), params.at("newName").get<std::string>(),
                         seams);
     }},
    {"textDocument/completion",
     [](const CheckedSet& set, const std::string& strPath, const Json& params,
        const RequestSeams& seams) {
       return RequestAnswer{Complete(set, strPath, Position(params), seams)};
     }},
};

Request FindRequest(std::string_view method) {
  for (const auto& [name, request] : kRequests)
    if (name == method)
      return request;
  return nullptr;
}

} // namespace

bool IsFileRequest(std::string_view method) {
  return FindRequest(method) != nullptr;
}

RequestAnswer AnswerFileRequest(std::string_view method, const CheckedSet& set,
                                const std::string& strPath, const Json& params,
                                const RequestSeams& seams) {
  const Request request = FindRequest(method);
  return request ? request(set, strPath, params, seams) : RequestAnswer{Json()};
}

Json FileRequestCapabilities() {
  return {{"hoverProvider", true},
          {"documentFormattingProvider", true},
          {"semanticTokensProvider", {{"legend", SemanticTokensLegend()}, {"full", true}}},
          {"definitionProvider", true},
          {"referencesProvider", true},
          {"renameProvider", {{"prepareProvider", true}}},
          {"documentSymbolProvider", true},
          {"completionProvider", Json::object()}};
}

} // namespace dovetrel
