#include "lsp/LanguageServer.h"
#include "lsp/Protocol.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace dovetrel {
namespace {

using Json = nlohmann::json;

/// An editor's session with the server, in memory: each message sent, and what came back.
class Session {
public:
  explicit Session(IInputFiles& files) : m_server(m_out, files) {}

  /// Sends \p message; every message the server wrote in answer.
  std::vector<Json> Send(const Json& message) {
    m_out.str("");
    EXPECT_TRUE(m_server.Handle(message.dump()) || message["method"] == "exit");
    std::istringstream written(m_out.str());
    std::vector<Json> answers;
    for (std::string strBody; ReadFrame(written, strBody) == FrameResult::Message;)
      answers.push_back(Json::parse(strBody));
    return answers;
  }

  int ExitStatus() const { return m_server.ExitStatus(); }

private:
  std::ostringstream m_out;
  CLanguageServer m_server;
};

Json Notification(const char* szMethod, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"method", szMethod}, {"params", std::move(params)}};
}

Json Open(const char* szUri, const char* szText) {
  return Notification(
      "textDocument/didOpen",
      {{"textDocument",
        {{"uri", szUri}, {"languageId", "ivr"}, {"version", 1}, {"text", szText}}}});
}

Json CodeActions(int nId, const char* szUri, int nLine) {
  const Json position{{"line", nLine}, {"character", 0}};
  return Json{{"jsonrpc", "2.0"},
              {"id", nId},
              {"method", "textDocument/codeAction"},
              {"params",
               {{"textDocument", {{"uri", szUri}}},
                {"range", {{"start", position}, {"end", position}}},
                {"context", {{"diagnostics", Json::array()}}}}}};
}

/// Each diagnostics notification as "URI: CODE SEVERITY LINE:CHAR-LINE:CHAR; ...".
std::vector<std::string> Diagnostics(const std::vector<Json>& messages) {
  std::vector<std::string> published;
  for (const Json& message : messages) {
    EXPECT_EQ(message["method"], "textDocument/publishDiagnostics");
    std::string strLine = message["params"]["uri"].get<std::string>() + ":";
    for (const Json& diagnostic : message["params"]["diagnostics"]) {
      const Json& range = diagnostic["range"];
      strLine += " " + diagnostic["code"].get<std::string>() + " " + diagnostic["severity"].dump() +
                 " " + range["start"]["line"].dump() + ":" + range["start"]["character"].dump() +
                 "-" + range["end"]["line"].dump() + ":" + range["end"]["character"].dump() + ";";
      EXPECT_EQ(diagnostic["source"], "dovetrel");
    }
    published.push_back(strLine);
  }
  return published;
}

TEST(LspSession, DiagnosticsFollowTheBuffers) {
  test::CMemoryFiles files;
  files.Add("/s/sales.ivr", "10\n"); // no greeting: a load failure of the nested file
  Session session(files);

  const std::vector<Json> initialized = session.Send(
      {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}});
  ASSERT_EQ(initialized.size(), 1U);
  EXPECT_EQ(initialized[0]["id"], 1);
  EXPECT_EQ(initialized[0]["result"]["capabilities"],
            Json::parse(R"({"textDocumentSync":{"openClose":true,"change":1},
                "codeActionProvider":{"codeActionKinds":["quickfix","source.fixAll"]},
                "definitionProvider":true,"referencesProvider":true,
                "renameProvider":{"prepareProvider":true},
                "documentSymbolProvider":true,"completionProvider":{},
                "hoverProvider":true,"documentFormattingProvider":true,
                "semanticTokensProvider":{"full":true,"legend":{"tokenModifiers":[],
                  "tokenTypes":["enumMember","keyword","parameter","string","number"]}}})"));
  EXPECT_TRUE(session.Send(Notification("initialized", Json::object())).empty());

  // Text after the greeting, behind a Cyrillic word; a keyword one column off; a nested file
  // that does not load, marked on the menu line too.
  const std::vector<Json> opened = session.Send(
      Open("file:///s/main.ivr",
           "10   привет.wav  лишнее\n1    menu            sales.ivr\n2   dial             100\n"));
  EXPECT_EQ(Diagnostics(opened),
            (std::vector<std::string>{"file:///s/main.ivr: text-after-word 2 0:17-0:23; "
                                      "keyword-not-in-column 2 2:4-2:8; bad-greeting 1 1:0-1:30;",
                                      "file:///s/sales.ivr: bad-greeting 1 0:2-0:2;"}));
  const std::string strNamed = "файл sales.ivr, строка 1: ";
  EXPECT_EQ(opened[0]["params"]["diagnostics"][2]["message"].get<std::string>().substr(
                0, strNamed.size()),
            strNamed);

  // The fix of the keyword as a quick fix on its line; none for a file the editor has not open.
  const std::vector<Json> actions = session.Send(CodeActions(3, "file:///s/main.ivr", 2));
  ASSERT_EQ(actions.size(), 1U);
  ASSERT_EQ(actions[0]["result"].size(), 2U); // and the fix of the whole file
  EXPECT_EQ(actions[0]["result"][1]["kind"], "source.fixAll");
  EXPECT_EQ(actions[0]["result"][0]["edit"], Json::parse(R"({"changes":{"file:///s/main.ivr":[
              {"newText":"2    dial            100",
               "range":{"start":{"line":2,"character":0},"end":{"line":2,"character":24}}}]}})"));
  EXPECT_EQ(session.Send(CodeActions(4, "file:///s/other.ivr", 0))[0]["error"]["code"], -32602);

  // Navigation reads the set as checked: a menu's file by the editor's URI, the main file's
  // rename refused, a file of no set unknown.
  const auto navigate = [&](const char* szMethod, const char* szUri, int nLine, int nCharacter) {
    const Json params{{"textDocument", {{"uri", szUri}}},
                      {"position", {{"line", nLine}, {"character", nCharacter}}},
                      {"newName", "x.ivr"}};
    return session.Send({{"jsonrpc", "2.0"}, {"id", 5}, {"method", szMethod}, {"params", params}});
  };
  EXPECT_EQ(navigate("textDocument/definition", "file:///s/main.ivr", 1, 23)[0]["result"]["uri"],
            "file:///s/sales.ivr");
  EXPECT_EQ(navigate("textDocument/rename", "file:///s/main.ivr", 0, 0)[0]["error"]["code"],
            -32803);
  EXPECT_EQ(navigate("textDocument/completion", "file:///s/other.ivr", 1, 0)[0]["error"]["code"],
            -32602);

  // The nested file's unsaved buffer stands in for the file.
  EXPECT_EQ(Diagnostics(session.Send(Open("file:///s/sales.ivr", "10   b.wav\n"))),
            (std::vector<std::string>{"file:///s/main.ivr: text-after-word 2 0:17-0:23; "
                                      "keyword-not-in-column 2 2:4-2:8;",
                                      "file:///s/sales.ivr:"}));

  const Json fixed = Notification(
      "textDocument/didChange",
      {{"textDocument", {{"uri", "file:///s/main.ivr"}, {"version", 2}}},
       {"contentChanges",
        {{{"text",
           "10   привет.wav\n1    menu            sales.ivr\n2    dial            100\n"}}}}});
  EXPECT_EQ(Diagnostics(session.Send(fixed)),
            (std::vector<std::string>{"file:///s/main.ivr:", "file:///s/sales.ivr:"}));

  const std::vector<Json> shutdown =
      session.Send({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}});
  ASSERT_EQ(shutdown.size(), 1U);
  EXPECT_EQ(shutdown[0]["result"], nullptr);
  EXPECT_TRUE(session.Send(Notification("exit", Json::object())).empty());
  EXPECT_EQ(session.ExitStatus(), 0);
}

/// The diagnostics last published for each URI, after \p messages, as Diagnostics() writes them.
void Follow(const std::vector<Json>& messages, std::map<std::string, std::string>& shown) {
  for (const std::string& strLine : Diagnostics(messages))
    shown[strLine.substr(0, strLine.find(':', 5))] = strLine;
}

Json Close(const std::string& strUri) {
  return Notification("textDocument/didClose", {{"textDocument", {{"uri", strUri}}}});
}

// Two main files naming the same nested file, which has a finding of its own. After every
// sequence of opens and closes, every file of an open file's set shows the diagnostics it shows
// in that set, and every other file shows none.
TEST(LspSession, EveryFileOfAnOpenSetKeepsItsDiagnostics) {
  const std::map<std::string, std::string> texts{
      {"file:///s/a.ivr", "10   a.wav\n1    menu            f.ivr\n"},
      {"file:///s/b.ivr", "10   b.wav\n2    menu            f.ivr\n"},
      {"file:///s/f.ivr", "10   f.wav\n3   dial             100\n"}};
  test::CMemoryFiles files;
  for (const auto& [strUri, strText] : texts)
    files.Add(PathFromUri(strUri), strText);
  const Json initialize{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", {}}};
  // What each file shows when it is open alone and every file it names is closed.
  std::map<std::string, std::string> alone;
  for (const auto& [strUri, strText] : texts) {
    Session session(files);
    session.Send(initialize);
    std::map<std::string, std::string> shown;
    Follow(session.Send(Open(strUri.c_str(), strText.c_str())), shown);
    alone[strUri] = shown[strUri];
  }
  ASSERT_NE(alone["file:///s/f.ivr"], "file:///s/f.ivr:");

  const std::vector<std::string> uris{"file:///s/a.ivr", "file:///s/b.ivr", "file:///s/f.ivr"};
  constexpr int kSteps = 6;
  for (int nSequence = 0; nSequence < 729; ++nSequence) { // every sequence of 6 opens or closes
    Session session(files);
    session.Send(initialize);
    std::map<std::string, std::string> shown;
    std::set<std::string> open;
    std::string strSequence;
    for (int nStep = 0, nLeft = nSequence; nStep < kSteps; ++nStep, nLeft /= 3) {
      const std::string& strUri = uris[static_cast<std::size_t>(nLeft % 3)];
      const bool bOpen = open.insert(strUri).second;
      if (!bOpen)
        open.erase(strUri);
      strSequence += (bOpen ? " open " : " close ") + strUri.substr(10);
      Follow(session.Send(bOpen ? Open(strUri.c_str(), texts.at(strUri).c_str()) : Close(strUri)),
             shown);
      // The nested file is in the set of every open file; each main file only in its own.
      const bool bNestedLive = !open.empty();
      for (const std::string& strFile : uris) {
        const bool bLive = strFile == uris[2] ? bNestedLive : open.contains(strFile);
        const std::string strShown = shown.contains(strFile) ? shown[strFile] : strFile + ":";
        ASSERT_EQ(strShown, bLive ? alone[strFile] : strFile + ":") << strSequence;
      }
    }
  }
}

// A main file's edit that stops naming an open nested file leaves that file its own main file,
// with its own diagnostics, and no longer in the edited set.
TEST(LspSession, AFileNamedNoMoreIsCheckedAlone) {
  test::CMemoryFiles files;
  Session session(files);
  session.Send({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", {}}});
  std::map<std::string, std::string> shown;
  Follow(session.Send(Open("file:///s/f.ivr", "10   f.wav\n3   dial             100\n")), shown);
  const std::string strAlone = shown["file:///s/f.ivr"];
  Follow(session.Send(Open("file:///s/a.ivr", "10   a.wav\n1    menu            f.ivr\n")), shown);
  Follow(session.Send(Notification("textDocument/didChange",
                                   {{"textDocument", {{"uri", "file:///s/a.ivr"}, {"version", 2}}},
                                    {"contentChanges", {{{"text", "10   a.wav\n"}}}}})),
         shown);
  EXPECT_EQ(shown["file:///s/f.ivr"], strAlone);
  // Its own edit is checked alone: the diagnostics of a.ivr are not published again.
  const std::vector<Json> changed = session.Send(Notification(
      "textDocument/didChange", {{"textDocument", {{"uri", "file:///s/f.ivr"}, {"version", 2}}},
                                 {"contentChanges", {{{"text", "10   f.wav\n"}}}}}));
  EXPECT_EQ(Diagnostics(changed), std::vector<std::string>{"file:///s/f.ivr:"});
}

// A set kept in Windows-1251, its main file open: the editor's UTF-8 buffer is read as the file
// will be saved, so a greeting of 40 Cyrillic letters fits the row, the hover names it, and a
// finding quotes the author's word in the editor's letters.
TEST(LspSession, ABufferOfAWindows1251SetReadsAsItsFile) {
  const std::string strGreeting1251(40, '\xEF'); // 40 times "п"
  std::string strGreeting;
  for (int i = 0; i < 40; ++i)
    strGreeting += "п";
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", "10   " + strGreeting1251 + ".wav\n1    menu            sales.ivr\n");
  files.Add("/s/sales.ivr", "10   \xEF.wav\n1    \xC4\xE8\xE0\xEB            1\n"); // "Диал"
  Session session(files);
  session.Send(
      {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}});

  const std::string strText = "10   " + strGreeting + ".wav\n1    menu            sales.ivr\n";
  const std::vector<Json> opened = session.Send(Open("file:///s/main.ivr", strText.c_str()));
  EXPECT_EQ(Diagnostics(opened),
            (std::vector<std::string>{"file:///s/main.ivr: not-a-keyword 2 1:0-1:30;",
                                      "file:///s/sales.ivr: not-a-keyword 2 1:5-1:9;"}));
  EXPECT_EQ(opened[1]["params"]["diagnostics"][0]["message"].get<std::string>().substr(0, 12),
            "«Диал»");
  const Json hover = session.Send({{"jsonrpc", "2.0"},
                                   {"id", 2},
                                   {"method", "textDocument/hover"},
                                   {"params",
                                    {{"textDocument", {{"uri", "file:///s/main.ivr"}}},
                                     {"position", {{"line", 0}, {"character", 0}}}}}})[0];
  EXPECT_NE(hover["result"]["contents"]["value"].get<std::string>().find(strGreeting + ".wav"),
            std::string::npos);
}

} // namespace
} // namespace dovetrel
