#include "lsp/FileFixes.h"
#include "lsp/LanguageServer.h"
#include "lsp/Protocol.h"
#include "tests/support/CheckedSets.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dovetrel {
namespace {

using Json = nlohmann::json;

/// A quick fix of line \p nLine replacing characters [nFirst, nEnd) with \p text.
Json Fix(int nLine, int nFirst, int nEnd, const char* szText) {
  const Json edit{{"range",
                   {{"start", {{"line", nLine}, {"character", nFirst}}},
                    {"end", {{"line", nLine}, {"character", nEnd}}}}},
                  {"newText", szText}};
  return Json{{"kind", "quickfix"},
              {"diagnostics", {{{"code", std::to_string(nLine) + ":" + std::to_string(nFirst)}}}},
              {"edit", {{"changes", {{"file:///s/main.ivr", {edit}}}}}}};
}

struct FixAllCase {
  std::vector<Json> fixes;
  std::vector<std::size_t> kept; ///< indices into fixes of those applied
};

class FixAll : public testing::TestWithParam<FixAllCase> {};

TEST_P(FixAll, AppliesEveryFixThatOverlapsNoneBeforeIt) {
  const FixAllCase& c = GetParam();
  const Json action = FixAllAction(c.fixes);
  if (c.kept.empty()) {
    EXPECT_TRUE(action.is_null());
    return;
  }
  Json edits = Json::array();
  for (const std::size_t i : c.kept)
    edits.push_back(c.fixes[i]["edit"]["changes"]["file:///s/main.ivr"][0]);
  EXPECT_EQ(action["edit"]["changes"]["file:///s/main.ivr"], edits);
  EXPECT_EQ(action["diagnostics"].size(), c.kept.size());
}

const Json kCreate{{"kind", "quickfix"}, {"edit", {{"documentChanges", Json::array()}}}};

INSTANTIATE_TEST_SUITE_P(
    Fixes, FixAll,
    testing::Values(FixAllCase{{Fix(0, 2, 5, "   "), Fix(1, 0, 4, "x"), Fix(0, 5, 6, "")},
                               {0, 1, 2}},
                    FixAllCase{{Fix(1, 0, 8, "a"), Fix(1, 7, 9, "b"), Fix(1, 9, 9, "c")}, {0, 2}},
                    FixAllCase{{Fix(2, 3, 3, "a"), Fix(2, 3, 5, "b")}, {0}},
                    FixAllCase{{kCreate, Fix(2, 3, 3, "a")}, {1}}, FixAllCase{{kCreate}, {}},
                    FixAllCase{{}, {}}));

struct CreateCase {
  std::string strMenu;    ///< the argument of the menu line
  std::string strCreated; ///< the file created, empty when none can mend it
  std::string strHeader;
};

class CreateMissingFile : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateMissingFile, OffersTheFileWithAHeaderTheReaderTakes) {
  const CreateCase& c = GetParam();
  test::Files files{{"/s/main.ivr", "10   a.wav\n1    menu            " + c.strMenu + "\n"}};
  std::vector<Finding> findings;
  const std::unique_ptr<CheckedSet> pSet = test::CheckInMemory(files, "/s/main.ivr", {}, &findings);
  ASSERT_FALSE(findings.empty());
  const Json action = CreateFileAction(findings.back(), Json{{"code", "x"}}, *pSet);
  if (c.strCreated.empty()) {
    EXPECT_TRUE(action.is_null()) << action;
    return;
  }
  ASSERT_EQ(findings.back().code, FindingCode::CannotOpenFile);
  const Json& changes = action["edit"]["documentChanges"];
  EXPECT_EQ(changes[0], (Json{{"kind", "create"}, {"uri", UriFromPath(c.strCreated)}}));
  EXPECT_EQ(changes[1]["textDocument"]["uri"], UriFromPath(c.strCreated));
  EXPECT_EQ(changes[1]["edits"][0]["newText"], c.strHeader);
  // The file as created mends the set: it loads, and the new file draws no finding.
  files[c.strCreated] = changes[1]["edits"][0]["newText"];
  test::CheckInMemory(files, "/s/main.ivr", {}, &findings);
  for (const Finding& finding : findings)
    EXPECT_NE(finding.severity, Severity::Error) << FormatFinding(finding);
  EXPECT_TRUE(
      std::ranges::none_of(findings, [&](const Finding& f) { return f.strFile == c.strCreated; }));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CreateMissingFile,
    testing::Values(CreateCase{"sales.ivr", "/s/sales.ivr", "10   sales.wav\n"},
                    CreateCase{"отдел.продаж.ivr", "/s/отдел.продаж.ivr", "10   отдел.wav\n"},
                    CreateCase{"...", "/s/...", "10   greeting.wav\n"},
                    CreateCase{"sub/x.ivr", "", ""}, CreateCase{"", "", ""}));

/// Sends \p message to \p server; the messages it answers with.
std::vector<Json> Send(CLanguageServer& server, std::ostringstream& out, const Json& message) {
  out.str("");
  EXPECT_TRUE(server.Handle(message.dump()));
  std::istringstream written(out.str());
  std::vector<Json> answers;
  for (std::string strBody; ReadFrame(written, strBody) == FrameResult::Message;)
    answers.push_back(Json::parse(strBody));
  return answers;
}

Json Request(int nId, const char* szMethod, const char* szUri, Json params = Json::object()) {
  params["textDocument"] = {{"uri", szUri}};
  return {{"jsonrpc", "2.0"}, {"id", nId}, {"method", szMethod}, {"params", std::move(params)}};
}

TEST(LspPresentation, AnswersEachRequestOnAnOpenFile) {
  test::CMemoryFiles files;
  std::ostringstream out;
  CLanguageServer server(out, files);
  const Json initialize = Json::parse(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":
      {"capabilities":{"workspace":{"workspaceEdit":{"documentChanges":true,
       "resourceOperations":["create"]}}}}})");
  Send(server, out, initialize);
  const char* szUri = "file:///s/main.ivr";
  const Json document{
      {"uri", szUri},
      {"text", "10   a.wav\n1    Menu            b.ivr\n2    menu            c.ivr\n"}};
  Send(server, out,
       {{"jsonrpc", "2.0"},
        {"method", "textDocument/didOpen"},
        {"params", {{"textDocument", document}}}});

  // Two quick fixes (the keyword, the missing file) and the fix of all; the fix of all alone.
  const Json range =
      Json::parse(R"({"start":{"line":0,"character":0},"end":{"line":2,"character":0}})");
  const Json actions = Send(
      server, out, Request(2, "textDocument/codeAction", szUri, {{"range", range}}))[0]["result"];
  ASSERT_EQ(actions.size(), 3U) << actions;
  EXPECT_EQ(actions[1]["title"], "Создать файл c.ivr");
  const Json only{{"range", range}, {"context", {{"only", {"source"}}}}};
  EXPECT_EQ(Send(server, out, Request(3, "textDocument/codeAction", szUri, only))[0]["result"],
            Json::array({actions[2]}));
  // Each request on one file: answered on an open file, refused on one the server has not seen.
  const Json position{{"position", {{"line", 1}, {"character", 3}}}};
  for (const char* szMethod :
       {"textDocument/hover", "textDocument/formatting", "textDocument/semanticTokens/full"}) {
    EXPECT_FALSE(Send(server, out, Request(4, szMethod, szUri, position))[0]["result"].is_null())
        << szMethod;
    EXPECT_EQ(Send(server, out,
                   Request(5, szMethod, "file:///s/other.ivr", position))[0]["error"]["code"],
              -32602);
  }
}

} // namespace
} // namespace dovetrel
