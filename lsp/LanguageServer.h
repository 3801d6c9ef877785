#pragma once

#include "lsp/CheckedSet.h"
#include "scenario/TextFile.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dovetrel {

/// The language server: answers an editor's messages with the findings of --check as the
/// editor's diagnostics, while the author types.
///
/// Sets: every file the editor has open is checked as a main file, unless it belongs to the set of
/// another open file checked so, whose set is then checked instead. The open buffers stand in for
/// their files; every other file of a set is read through the files given. After each check the
/// diagnostics of every file of the set are published, empty for the clean ones.
class CLanguageServer {
public:
  using Json = nlohmann::json;

  /// Writes its messages to \p out; reads the files the editor has not open through \p files.
  explicit CLanguageServer(std::ostream& out, IInputFiles& files = SystemInputFiles());

  /// Serves the messages of \p in until exit or the end of the input. The exit status: 0 when
  /// shutdown came before, 1 otherwise, and 1 when the input broke its framing (a message too
  /// long or a header that does not read; the server stops there, as nothing after it can be
  /// trusted to start a message).
  int Run(std::istream& in);

  /// Handles the message \p body; false once the editor has said exit.
  bool Handle(std::string_view body);

  /// 0 when shutdown has come, 1 otherwise.
  int ExitStatus() const { return m_bShutdown ? 0 : 1; }

private:
  struct Document {
    std::string strUri;
    std::string strText; ///< as the editor sent it, UTF-8
    /// The file on disk is not UTF-8: the set is kept in Windows-1251, and the buffer is read in
    /// that code page, as the file will be once saved.
    bool bWindows1251 = false;
    std::string strChecked; ///< the text the checker reads: strText, in Windows-1251 if so
  };

  void Respond(const Json& id, Json result);
  void RespondError(const Json& id, int nCode, std::string_view message);
  void Notify(std::string_view method, Json params);
  void OnRequest(const Json& id, const std::string& method, const Json& params);
  /// The quick fixes of the findings on the lines of the range asked for.
  void OnCodeAction(const Json& id, const Json& params);
  /// A request on a file of a checked set that the set answers alone (IsFileRequest).
  void OnFileRequest(const Json& id, const std::string& method, const Json& params);
  void OnNotification(const std::string& method, const Json& params);
  void OnOpen(const Json& params);
  void OnChange(const Json& params);
  void OnClose(const Json& params);
  /// Checks again the sets \p strPath belongs to, or \p strPath alone when it is open and in none.
  void Recheck(const std::string& strPath);
  void CheckSet(const std::string& strRoot);
  /// Publishes the diagnostics \p published of every file of the set \p strRoot, and keeps the
  /// files as the set's. Returns the files that sets held before and none holds now (published
  /// empty), for Reclaim.
  std::vector<std::string> Publish(const std::string& strRoot,
                                   std::map<std::string, Json>& published);
  /// Gives each of \p files that lost its set the diagnostics of a set again: one that still
  /// holds it is checked again, or the file alone when it is open and in none.
  void Reclaim(const std::vector<std::string>& files);
  std::string UriOf(const std::string& strPath) const;
  /// The set \p strPath was checked in last, or null when no open file's set holds it.
  const CheckedSet* SetOf(const std::string& strPath) const;

  std::ostream& m_out;
  IInputFiles& m_files;
  std::map<std::string, Document> m_documents; ///< the open buffers by path
  /// The files of the set of each main file checked, as published at its last check.
  std::map<std::string, std::vector<std::string>> m_sets;
  /// Each set as last checked, by its main file: the same keys as m_sets.
  std::map<std::string, std::unique_ptr<CheckedSet>> m_checked;
  /// The quick fixes of each file's findings at its last check, as the protocol's code actions.
  std::map<std::string, std::vector<Json>> m_fixes;
  bool m_bInitialized = false;
  bool m_bShutdown = false;
  bool m_bCreateFiles = false; ///< the editor can create a file in a workspace edit
  bool m_bExit = false;
};

} // namespace dovetrel
