#include "lsp/LanguageServer.h"

#include "convert/Conversion.h"
#include "convert/Version.h"
#include "lsp/FileFixes.h"
#include "lsp/FileRequests.h"
#include "lsp/Navigation.h"
#include "lsp/Protocol.h"
#include "lsp/Texts.h"
#include "scenario/Paths.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <ostream>
#include <set>

namespace dovetrel {
namespace {

using Json = nlohmann::json;

// The protocol's error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;
constexpr int kRequestFailed = -32803;

/// Up to kMaxMessageBytes of the file \p strPath; empty when it cannot be read.
std::string ReadFileText(IInputFiles& files, const std::string& strPath) {
  std::string strReason;
  std::unique_ptr<IInputFile> pFile = files.Open(strPath, strReason);
  std::string strText;
  char buffer[4096];
  for (std::ptrdiff_t nRead = 0; pFile && strText.size() < kMaxMessageBytes;) {
    nRead = pFile->Read(buffer, sizeof buffer);
    if (nRead <= 0)
      break;
    strText.append(buffer, static_cast<std::size_t>(nRead));
  }
  return strText;
}

/// \p text, an editor's UTF-8 buffer, as the checker reads it: in Windows-1251 when \p bWindows1251
/// and every character has a byte there; otherwise as it is (the editor could not save it in that
/// code page either).
std::string CheckedText(const std::string& text, bool bWindows1251) {
  if (!bWindows1251)
    return text;
  const std::unique_ptr<CTextCodec> pEncoder = CTextCodec::OpenEncoder(std::string(kWindows1251));
  std::string strEncoded;
  if (pEncoder && pEncoder->Decode(text, strEncoded) == text.size())
    return strEncoded;
  return text;
}

/// \p value with every byte of its strings that starts no UTF-8 sequence read as Windows-1251, the
/// code page of a set that is not UTF-8 throughout: the protocol's texts are UTF-8, and such bytes
/// come from the set's own words (a quoted word in a finding, a line a fix rewrites).
/// The codec is opened at the first such string.
void DecodeStrayBytes(Json& value, std::unique_ptr<CTextCodec>& pCodec) {
  if (value.is_structured()) {
    for (Json& item : value)
      DecodeStrayBytes(item, pCodec);
    return;
  }
  if (!value.is_string() || IsUtf8(value.get_ref<const std::string&>()))
    return;
  if (!pCodec)
    pCodec = CTextCodec::Open(std::string(kWindows1251));
  std::string strDecoded;
  ForEachCodepoint(value.get_ref<const std::string&>(),
                   [&](auto nCodepoint, std::string_view bytes) {
                     if (nCodepoint >= 0)
                       strDecoded += bytes;
                     else if (!pCodec || pCodec->Decode(bytes, strDecoded) == 0)
                       strDecoded += "\uFFFD";
                   });
  value = std::move(strDecoded);
}

/// \p message as the protocol's UTF-8 text.
std::string Dump(Json message) {
  std::unique_ptr<CTextCodec> pCodec;
  DecodeStrayBytes(message, pCodec);
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

/// A file of the disk that keeps what the reader takes of it, so that the set's lines need no
/// second reading; the text counts only once the reader has reached its end.
class CRecordingFile final : public IInputFile {
public:
  CRecordingFile(std::unique_ptr<IInputFile> pFile, std::string& strText, bool& bWhole)
      : m_pFile(std::move(pFile)), m_strText(strText), m_bWhole(bWhole) {}

  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override {
    const std::ptrdiff_t nRead = m_pFile->Read(pBuffer, nSize);
    if (nRead > 0)
      m_strText.append(pBuffer, static_cast<std::size_t>(nRead));
    m_bWhole = nRead == 0;
    return nRead;
  }

private:
  std::unique_ptr<IInputFile> m_pFile;
  std::string& m_strText;
  bool& m_bWhole;
};

/// The open buffers over the files beneath; notes every file that opens, and keeps the text of
/// each for the lines of its diagnostics.
class COverlayFiles final : public IInputFiles {
public:
  COverlayFiles(const std::map<std::string, std::string_view>& buffers, IInputFiles& files)
      : m_buffers(buffers), m_files(files) {}

  std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) override {
    const auto found = m_buffers.find(strPath);
    if (found != m_buffers.end()) {
      m_vecOpened.push_back(strPath);
      return std::make_unique<CMemoryInputFile>(found->second);
    }
    std::unique_ptr<IInputFile> pFile = m_files.Open(strPath, strReason);
    if (!pFile)
      return nullptr;
    m_vecOpened.push_back(strPath);
    Recorded& recorded = m_recorded[strPath];
    recorded = Recorded{};
    return std::make_unique<CRecordingFile>(std::move(pFile), recorded.strText, recorded.bWhole);
  }

  /// The text of \p strPath: its buffer, what the reader read of it to its end, or else up to
  /// kMaxMessageBytes of the file read now; empty when it cannot be read.
  std::string Text(const std::string& strPath) {
    const auto found = m_buffers.find(strPath);
    if (found != m_buffers.end())
      return std::string(found->second);
    const auto recorded = m_recorded.find(strPath);
    if (recorded != m_recorded.end() && recorded->second.bWhole)
      return recorded->second.strText;
    return ReadFileText(m_files, strPath);
  }

  std::vector<std::string> m_vecOpened;

private:
  struct Recorded {
    std::string strText;
    bool bWhole = false; ///< the reader came to the end of the file
  };

  const std::map<std::string, std::string_view>& m_buffers;
  IInputFiles& m_files;
  std::map<std::string, Recorded> m_recorded;
};

int SeverityNumber(Severity severity) {
  switch (severity) {
  case Severity::Error:
    return 1;
  case Severity::Warning:
    return 2;
  case Severity::Information:
    return 3;
  }
  return 1;
}

Json Diagnostic(const Finding& finding, Json range, const std::string& strPrefix) {
  std::string strMessage = strPrefix + finding.strText;
  if (!finding.strNote.empty())
    strMessage += "\n" + finding.strNote;
  return Json{{"range", std::move(range)},
              {"severity", SeverityNumber(finding.severity)},
              {"code", FindingCodeName(finding.code)},
              {"source", "dovetrel"},
              {"message", std::move(strMessage)}};
}

/// The protocol's text edits of \p fix, an edit of \p strFile.
Json FixEdits(const std::string& strFile, const std::vector<TextEdit>& fix,
              const CheckedSet& lines) {
  Json edits = Json::array();
  for (const TextEdit& edit : fix) {
    const std::string_view line = lines.Line(strFile, edit.nLine);
    // An edit beyond the line's end: spaces up to it.
    const std::uint64_t nPad =
        edit.nFirstColumn > line.size() + 1 ? edit.nFirstColumn - 1 - line.size() : 0;
    edits.push_back(Json{{"range",
                          {{"start", lines.Position(strFile, edit.nLine, edit.nFirstColumn)},
                           {"end", lines.Position(strFile, edit.nLine,
                                                  std::max(edit.nEndColumn, edit.nFirstColumn))}}},
                         {"newText", std::string(nPad, ' ') + edit.strText}});
  }
  return edits;
}

/// The quick fix of \p finding, whose diagnostic is \p diagnostic, in a file known as \p strUri.
Json CodeAction(const Finding& finding, const Json& diagnostic, const std::string& strUri,
                const CheckedSet& lines) {
  return Json{
      {"title", std::string(text::kLspFix) + finding.strText},
      {"kind", "quickfix"},
      {"diagnostics", Json::array({diagnostic})},
      {"isPreferred", true},
      {"edit", {{"changes", {{strUri, FixEdits(finding.strFile, finding.vecFix, lines)}}}}}};
}

/// The range of \p finding: its word, or its whole line when no column is known.
Json FindingRange(const Finding& finding, const CheckedSet& lines) {
  const std::uint64_t nFirst = finding.nColumn == 0 ? 1 : finding.nColumn;
  const std::uint64_t nEnd = finding.nColumn == 0 ? 0 : finding.nEndColumn;
  return Json{{"start", lines.Position(finding.strFile, finding.nLine, nFirst)},
              {"end", lines.Position(finding.strFile, finding.nLine, nEnd)}};
}

/// The diagnostic of \p finding on the menu line that names its file ("FILE:LINE"), if any.
void AddNamedAt(const Finding& finding, const CheckedSet& lines,
                std::map<std::string, Json>& published) {
  const std::size_t nColon = finding.strNamedAt.rfind(':');
  int nLine = 0;
  if (nColon == std::string::npos)
    return;
  const char* pFirst = finding.strNamedAt.data() + nColon + 1;
  const char* pLast = finding.strNamedAt.data() + finding.strNamedAt.size();
  if (std::from_chars(pFirst, pLast, nLine).ptr != pLast || nLine < 1)
    return;
  const std::string strFile = finding.strNamedAt.substr(0, nColon);
  std::string strPrefix =
      std::string(text::kLspInFile) + finding.strFile.substr(finding.strFile.rfind('/') + 1);
  if (finding.nLine > 0)
    strPrefix += std::string(text::kLspAtLine) + std::to_string(finding.nLine);
  Json range{{"start", lines.Position(strFile, nLine, 1)},
             {"end", lines.Position(strFile, nLine, 0)}};
  published[strFile].push_back(Diagnostic(finding, std::move(range), strPrefix + ": "));
}

/// The findings of the set \p strRoot, a read error in the middle of a file among them; the set
/// as read is left in \p table.
std::vector<Finding> CheckFindings(const std::string& strRoot, IInputFiles& files,
                                   CScenarioTable& table) {
  ConversionOptions options;
  options.pFiles = &files;
  try {
    return RunCheck(strRoot, options, &table);
  } catch (const CFileReadError& error) {
    Finding failure{FindingCode::ReadError, Severity::Error, error.what()};
    failure.strFile = error.Path();
    return {failure};
  }
}

/// \p findings with the menu line that names the file of each one in a nested file: the first
/// menu row of \p set naming it, whose reading loaded it.
void AddMenuLines(const CheckedSet& set, std::vector<Finding>& findings) {
  std::map<std::string, std::string> named;
  for (int i = 0; i < set.table.Count(); ++i) {
    const ScenarioEntry& entry = set.table.Entry(i);
    if (entry.kind == kindMenu)
      named.emplace(set.table.BaseDirectory() + entry.text,
                    set.table.SourcePathOfRow(i) + ':' + std::to_string(entry.line));
  }
  for (Finding& finding : findings) {
    const auto found = named.find(finding.strFile);
    if (finding.strNamedAt.empty() && found != named.end() && finding.strFile != set.strRoot)
      finding.strNamedAt = found->second;
  }
}

} // namespace

CLanguageServer::CLanguageServer(std::ostream& out, IInputFiles& files)
    : m_out(out), m_files(files) {}

int CLanguageServer::Run(std::istream& in) {
  std::string strBody;
  for (;;) {
    const FrameResult frame = ReadFrame(in, strBody);
    if (frame == FrameResult::End)
      return ExitStatus();
    if (frame != FrameResult::Message) {
      const bool bTooLarge = frame == FrameResult::TooLarge;
      RespondError(nullptr, bTooLarge ? kInvalidRequest : kParseError,
                   bTooLarge ? text::kLspTooLarge : text::kLspBrokenFrame);
      return 1;
    }
    if (!Handle(strBody))
      return ExitStatus();
  }
}

bool CLanguageServer::Handle(std::string_view body) {
  const Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded())
    RespondError(nullptr, kParseError, text::kLspParseError);
  if (message.is_discarded())
    return true;
  const bool bObject = message.is_object();
  const Json id = bObject ? message.value("id", Json()) : Json();
  const bool bRequest = bObject && message.contains("id");
  if (bRequest && !id.is_string() && !id.is_number_integer()) {
    RespondError(nullptr, kInvalidRequest, text::kLspInvalidRequest);
    return true;
  }
  if (!bObject || !message.contains("method") || !message["method"].is_string()) {
    // A response: the server sends no requests, so it answers none.
    if (!(bRequest && (message.contains("result") || message.contains("error"))))
      RespondError(id, kInvalidRequest, text::kLspInvalidRequest);
    return true;
  }
  const std::string strMethod = message["method"].get<std::string>();
  try {
    if (bRequest)
      OnRequest(id, strMethod, message.value("params", Json::object()));
    else
      OnNotification(strMethod, message.value("params", Json::object()));
  } catch (const Json::exception&) {
    if (bRequest)
      RespondError(id, kInvalidParams, text::kLspInvalidParams);
  } catch (const std::exception& error) {
    const std::string strText = std::string(text::kLspInternalError) + error.what();
    if (bRequest)
      RespondError(id, kInternalError, strText);
    else
      Notify("window/logMessage", Json{{"type", 1}, {"message", strText}});
  }
  return !m_bExit;
}

void CLanguageServer::Respond(const Json& id, Json result) {
  Json message{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
  WriteFrame(m_out, Dump(std::move(message)));
}

void CLanguageServer::RespondError(const Json& id, int nCode, std::string_view message) {
  const Json error{{"code", nCode}, {"message", message}};
  const Json response{{"jsonrpc", "2.0"}, {"id", id}, {"error", error}};
  WriteFrame(m_out, Dump(response));
}

void CLanguageServer::Notify(std::string_view method, Json params) {
  Json message{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
  WriteFrame(m_out, Dump(std::move(message)));
}

void CLanguageServer::OnRequest(const Json& id, const std::string& method, const Json& params) {
  if (!m_bInitialized && method != "initialize")
    return RespondError(id, kServerNotInitialized, text::kLspNotInitialized);
  if (m_bShutdown)
    return RespondError(id, kInvalidRequest, text::kLspShutDown);
  if (method == "initialize") {
    m_bInitialized = true;
    m_bCreateFiles = CanCreateFiles(params);
    const Json sync{{"openClose", true}, {"change", 1}};
    const Json actions{{"codeActionKinds", {"quickfix", "source.fixAll"}}};
    Json capabilities{{"textDocumentSync", sync}, {"codeActionProvider", actions}};
    capabilities.update(FileRequestCapabilities());
    return Respond(id, Json{{"capabilities", std::move(capabilities)},
                            {"serverInfo", {{"name", "dovetrel-lsp"}, {"version", Version()}}}});
  }
  if (method == "shutdown") {
    m_bShutdown = true;
    return Respond(id, nullptr);
  }
  if (method == "textDocument/codeAction")
    return OnCodeAction(id, params);
  if (IsFileRequest(method))
    return OnFileRequest(id, method, params);
  RespondError(id, kMethodNotFound, std::string(text::kLspMethodNotFound) + method);
}

void CLanguageServer::OnFileRequest(const Json& id, const std::string& method, const Json& params) {
  const std::string strUri = params.at("textDocument").at("uri").get<std::string>();
  const std::string strPath = PathFromUri(strUri);
  const CheckedSet* pSet = SetOf(strPath);
  if (!pSet)
    return RespondError(id, kInvalidParams, std::string(text::kLspUnknownFile) + strUri);
  const RequestSeams seams{[this](const std::string& strFile) { return UriOf(strFile); },
                           ListFolderFiles};
  RequestAnswer answer = AnswerFileRequest(method, *pSet, strPath, params, seams);
  if (!answer.strRefusal.empty())
    return RespondError(id, kRequestFailed, answer.strRefusal);
  Respond(id, std::move(answer.result));
}

void CLanguageServer::OnCodeAction(const Json& id, const Json& params) {
  const std::string strUri = params.at("textDocument").at("uri").get<std::string>();
  const std::string strPath = PathFromUri(strUri);
  if (!m_documents.contains(strPath))
    return RespondError(id, kInvalidParams, std::string(text::kLspUnknownFile) + strUri);
  const int nFirst = params.at("range").at("start").at("line").get<int>();
  const int nLast = params.at("range").at("end").at("line").get<int>();
  Json actions = Json::array();
  for (const Json& action : m_fixes[strPath]) {
    const Json& range = action["diagnostics"][0]["range"];
    if (range["start"]["line"].get<int>() <= nLast && range["end"]["line"].get<int>() >= nFirst &&
        KindRequested(params, "quickfix"))
      actions.push_back(action);
  }
  if (Json all = FixAllAction(m_fixes[strPath]);
      !all.is_null() && KindRequested(params, "source.fixAll"))
    actions.push_back(std::move(all));
  Respond(id, std::move(actions));
}

void CLanguageServer::OnNotification(const std::string& method, const Json& params) {
  if (method == "exit")
    m_bExit = true;
  if (!m_bInitialized || m_bShutdown)
    return;
  if (method == "textDocument/didOpen")
    OnOpen(params);
  else if (method == "textDocument/didChange")
    OnChange(params);
  else if (method == "textDocument/didClose")
    OnClose(params);
}

void CLanguageServer::OnOpen(const Json& params) {
  const Json& document = params.at("textDocument");
  const std::string strUri = document.at("uri").get<std::string>();
  const std::string strPath = PathFromUri(strUri);
  if (strPath.empty())
    return;
  Document& opened = m_documents[strPath];
  opened = Document{strUri, document.at("text").get<std::string>(), false, ""};
  opened.bWindows1251 = !IsUtf8(ReadFileText(m_files, strPath));
  opened.strChecked = CheckedText(opened.strText, opened.bWindows1251);
  Recheck(strPath);
}

void CLanguageServer::OnChange(const Json& params) {
  const std::string strPath = PathFromUri(params.at("textDocument").at("uri").get<std::string>());
  const Json& changes = params.at("contentChanges");
  const auto found = m_documents.find(strPath);
  if (found == m_documents.end() || changes.empty())
    return;
  // Whole texts only, as initialize announced: the last one is the buffer now.
  found->second.strText = changes.back().at("text").get<std::string>();
  found->second.strChecked = CheckedText(found->second.strText, found->second.bWindows1251);
  Recheck(strPath);
}

void CLanguageServer::OnClose(const Json& params) {
  const std::string strPath = PathFromUri(params.at("textDocument").at("uri").get<std::string>());
  if (m_documents.erase(strPath) == 0)
    return;
  const auto found = m_sets.find(strPath);
  if (found == m_sets.end())
    return Recheck(strPath); // its set reads the file now
  // Its own set is checked no more: its diagnostics go, and its open files are checked anew.
  const std::vector<std::string> files = std::move(found->second);
  m_sets.erase(found);
  m_checked.erase(strPath);
  for (const std::string& strFile : files) {
    m_fixes.erase(strFile);
    Notify("textDocument/publishDiagnostics",
           Json{{"uri", UriOf(strFile)}, {"diagnostics", Json::array()}});
  }
  Reclaim(files);
}

void CLanguageServer::Recheck(const std::string& strPath) {
  std::vector<std::string> roots;
  for (const auto& [strRoot, files] : m_sets)
    if (strRoot != strPath && std::ranges::binary_search(files, strPath))
      roots.push_back(strRoot);
  if (roots.empty() && m_documents.contains(strPath))
    roots.push_back(strPath);
  for (const std::string& strRoot : roots)
    CheckSet(strRoot);
}

void CLanguageServer::CheckSet(const std::string& strRoot) {
  std::map<std::string, std::string_view> buffers;
  for (const auto& [strPath, document] : m_documents)
    buffers.emplace(strPath, document.strChecked);
  COverlayFiles files(buffers, m_files);
  auto pSet = std::make_unique<CheckedSet>();
  pSet->strRoot = strRoot;
  std::vector<Finding> findings = CheckFindings(strRoot, files, pSet->table);
  pSet->flow = BuildCallFlow(pSet->table);
  pSet->lines[strRoot] = SplitLines(files.Text(strRoot));
  for (const std::string& strFile : files.m_vecOpened)
    if (!pSet->lines.contains(strFile))
      pSet->lines.emplace(strFile, SplitLines(files.Text(strFile)));
  AddMenuLines(*pSet, findings);
  // Every file of the set gets its list, empty or not.
  std::map<std::string, Json> published{{strRoot, Json::array()}};
  for (const std::string& strFile : files.m_vecOpened)
    published.emplace(strFile, Json::array());
  for (const std::string& strFile : m_sets[strRoot])
    m_fixes.erase(strFile);
  for (const auto& [strFile, diagnostics] : published)
    m_fixes.erase(strFile);
  const CheckedSet& lines = *pSet;
  for (Finding finding : findings) {
    if (finding.strFile.empty())
      finding.strFile = strRoot;
    Json diagnostic = Diagnostic(finding, FindingRange(finding, lines), "");
    if (!finding.vecFix.empty())
      m_fixes[finding.strFile].push_back(
          CodeAction(finding, diagnostic, UriOf(finding.strFile), lines));
    if (Json create = CreateFileAction(finding, diagnostic, lines);
        m_bCreateFiles && !create.is_null())
      m_fixes[finding.strFile].push_back(std::move(create));
    published[finding.strFile].push_back(std::move(diagnostic));
    AddNamedAt(finding, lines, published);
  }
  const std::vector<std::string> left = Publish(strRoot, published);
  m_checked[strRoot] = std::move(pSet);
  Reclaim(left);
}

std::vector<std::string> CLanguageServer::Publish(const std::string& strRoot,
                                                  std::map<std::string, Json>& published) {
  std::vector<std::string> set;
  set.reserve(published.size());
  for (const auto& [strFile, diagnostics] : published)
    set.push_back(strFile);
  // The files this set held before, and those of the main files it takes in, that it holds no
  // more: their diagnostics go here, and Reclaim finds them a set again.
  std::vector<std::string> left;
  for (const std::string& strFile : set) {
    const auto found = m_sets.find(strFile);
    if (found == m_sets.end())
      continue;
    std::ranges::set_difference(found->second, set, std::back_inserter(left));
    if (strFile != strRoot) {
      m_sets.erase(found); // checked within this set from now on
      m_checked.erase(strFile);
    }
  }
  for (const std::string& strFile : left) {
    m_fixes.erase(strFile);
    published.emplace(strFile, Json::array());
  }
  for (auto& [strFile, diagnostics] : published)
    Notify("textDocument/publishDiagnostics",
           Json{{"uri", UriOf(strFile)}, {"diagnostics", std::move(diagnostics)}});
  m_sets[strRoot] = std::move(set);
  return left;
}

void CLanguageServer::Reclaim(const std::vector<std::string>& files) {
  std::set<std::string> checked;
  for (const std::string& strFile : files) {
    // A set that holds it, checked again; or, open and in none, the file as its own main file.
    std::string strRoot = m_documents.contains(strFile) ? strFile : std::string();
    for (const auto& [strOther, set] : m_sets)
      if (std::ranges::binary_search(set, strFile))
        strRoot = strOther;
    if (!strRoot.empty() && checked.insert(strRoot).second)
      CheckSet(strRoot);
  }
}

const CheckedSet* CLanguageServer::SetOf(const std::string& strPath) const {
  for (const auto& [strRoot, files] : m_sets)
    if (std::ranges::binary_search(files, strPath))
      return m_checked.at(strRoot).get();
  return nullptr;
}

std::string CLanguageServer::UriOf(const std::string& strPath) const {
  const auto found = m_documents.find(strPath);
  return found != m_documents.end() ? found->second.strUri : UriFromPath(strPath);
}

} // namespace dovetrel
