#include "lsp/Navigation.h"

#include "convert/Conversion.h"
#include "lsp/Texts.h"
#include "scenario/Paths.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace dovetrel {
namespace {

using Json = nlohmann::json;
using Files = std::map<std::string, std::string>;

/// A main file, two nested files, and a folder that also holds a spare file and two unusable names.
const Files kSet{
    {"/s/main.ivr", "10   welcome.wav\n1    menu            sales.ivr\n"
                    "2    menu            help.ivr\n-    dial            104\n"},
    {"/s/sales.ivr", "15   sales.wav\n1    dial            200\n"
                     "0    menu            help.ivr\nb    menu            main.ivr\n"},
    {"/s/help.ivr", "5    help.wav\n*    disconnect\n4    menu            gone.ivr\n\n3 "}};
const std::vector<std::string> kFolder{"main.ivr",  "sales.ivr",    "help.ivr",
                                       "spare.ivr", "old menu.ivr", "notes.txt"};

/// \p files checked as the server checks them, \p strRoot their main file.
CheckedSet Check(const Files& files, const std::string& strRoot) {
  test::CMemoryFiles memory;
  for (const auto& [strPath, strText] : files)
    memory.Add(strPath, strText);
  CheckedSet set;
  set.strRoot = strRoot;
  ConversionOptions options;
  options.pFiles = &memory;
  (void)RunCheck(strRoot, options, &set.table);
  set.flow = BuildCallFlow(set.table);
  for (const std::string& strPath : memory.m_vecOpened)
    if (files.contains(strPath))
      set.lines[strPath] = SplitLines(files.at(strPath));
  return set;
}

RequestSeams Seams(const std::vector<std::string>& folder) {
  return {nullptr, [folder](const std::string& strFolder) {
            EXPECT_EQ(strFolder, "/s/");
            return folder;
          }};
}

std::string Range(const Json& range) {
  const auto at = [](const Json& p) { return p["line"].dump() + ":" + p["character"].dump(); };
  return at(range["start"]) + "-" + at(range["end"]);
}

/// The essentials of a navigation answer, one line per location, symbol, item or edit.
std::string Summary(const Json& result) {
  if (!result.is_array())
    return result.is_null() ? "null" : Summary(Json::array({result}));
  std::string strSummary;
  for (const Json& one : result) {
    if (one.contains("uri"))
      strSummary +=
          std::string(FileNameOf(one["uri"].get<std::string>())) + " " + Range(one["range"]);
    else if (one.contains("placeholder"))
      strSummary += Range(one["range"]) + " " + one["placeholder"].get<std::string>();
    else if (one.contains("selectionRange"))
      strSummary += one["name"].get<std::string>() + " (" + one["detail"].get<std::string>() +
                    ") " + one["kind"].dump() + " " + Range(one["range"]);
    else if (one.contains("textEdit"))
      strSummary += one["textEdit"]["newText"].dump() + " " + Range(one["textEdit"]["range"]);
    else if (one.contains("newUri"))
      strSummary +=
          "rename " + one["oldUri"].get<std::string>() + " " + one["newUri"].get<std::string>();
    else
      for (const Json& edit : one["edits"])
        strSummary += one["textDocument"]["uri"].get<std::string>() + " " + Range(edit["range"]) +
                      "=" + edit["newText"].get<std::string>() + "; ";
    strSummary += "; ";
  }
  return strSummary;
}

struct NavigationCase {
  const char* szMethod;
  const char* szFile;
  int nLine;
  int nCharacter;
  const char* szExpected;
};

const NavigationCase kCases[] = {
    // A menu's argument leads to its file; a key, a missing file and a dial lead nowhere.
    {"textDocument/definition", "/s/main.ivr", 1, 25, "sales.ivr 0:0-0:0; "},
    {"textDocument/definition", "/s/sales.ivr", 3, 29, "main.ivr 0:0-0:0; "},
    {"textDocument/definition", "/s/main.ivr", 1, 0, "null"},
    {"textDocument/definition", "/s/main.ivr", 3, 22, "null"},
    {"textDocument/definition", "/s/help.ivr", 2, 22, "null"},
    // From a menu's argument or from anywhere in the file: every menu naming it, and its start.
    {"textDocument/references", "/s/main.ivr", 2, 21,
     "help.ivr 0:0-0:0; main.ivr 2:21-2:29; sales.ivr 2:21-2:29; "},
    {"textDocument/references", "/s/sales.ivr", 0, 3, "sales.ivr 0:0-0:0; main.ivr 1:21-1:30; "},
    {"textDocument/prepareRename", "/s/main.ivr", 1, 30, "1:21-1:30 sales.ivr; "},
    {"textDocument/prepareRename", "/s/help.ivr", 1, 2, "1:2-1:2 help.ivr; "},
    {"textDocument/documentSymbol", "/s/help.ivr", 0, 0,
     "5 → help.wav (тайм-аут и приветствие) 7 0:0-0:13; "
     "* → disconnect (клавиша *: конец звонка) 20 1:0-1:15; "
     "4 → menu gone.ivr (клавиша 4: переход в меню) 20 2:0-2:29; "
     "3 → ? (клавиша 3: действие не распознано: строка не сработает) 20 4:0-4:2; "},
    {"textDocument/documentSymbol", "/s/main.ivr", 0, 0,
     "10 → welcome.wav (тайм-аут и приветствие) 7 0:0-0:16; "
     "1 → menu sales.ivr (клавиша 1: переход в меню) 20 1:0-1:30; "
     "2 → menu help.ivr (клавиша 2: переход в меню) 20 2:0-2:29; "
     "- → dial 104 (нет ввода: перевод на номер) 20 3:0-3:24; "},
    // Keys help.ivr has not used yet, at the start of its last line.
    {"textDocument/completion", "/s/help.ivr", 4, 0,
     "\"1\" 4:0-4:1; \"2\" 4:0-4:1; \"3\" 4:0-4:1; \"5\" 4:0-4:1; \"6\" 4:0-4:1; \"7\" 4:0-4:1; "
     "\"8\" 4:0-4:1; \"9\" 4:0-4:1; \"0\" 4:0-4:1; \"#\" 4:0-4:1; \"-\" 4:0-4:1; \"b\" 4:0-4:1; "
     "\"f\" 4:0-4:1; "},
    // The keywords padded to their column, and the folder's usable .ivr files to theirs.
    {"textDocument/completion", "/s/help.ivr", 4, 2,
     "\"   menu\" 4:2-4:2; \"   dial\" 4:2-4:2; \"   disconnect\" 4:2-4:2; "},
    {"textDocument/completion", "/s/main.ivr", 1, 23,
     "\"help.ivr\" 1:21-1:30; \"main.ivr\" 1:21-1:30; \"sales.ivr\" 1:21-1:30; "
     "\"spare.ivr\" 1:21-1:30; "},
    {"textDocument/completion", "/s/main.ivr", 3, 12, ""},
    {"textDocument/completion", "/s/main.ivr", 0, 0, ""},
};

void PrintTo(const NavigationCase& c, std::ostream* pOut) {
  *pOut << c.szMethod << " " << c.szFile << " " << c.nLine << ":" << c.nCharacter;
}

class NavigationTest : public testing::TestWithParam<NavigationCase> {};

TEST_P(NavigationTest, AnswersWithItsEssentials) {
  const NavigationCase& c = GetParam();
  const CheckedSet set = Check(kSet, "/s/main.ivr");
  const Json params{{"position", {{"line", c.nLine}, {"character", c.nCharacter}}},
                    {"context", {{"includeDeclaration", true}}}};
  const RequestAnswer answer = AnswerFileRequest(c.szMethod, set, c.szFile, params, Seams(kFolder));
  EXPECT_EQ(answer.strRefusal, "");
  EXPECT_EQ(Summary(answer.result), c.szExpected);
}

INSTANTIATE_TEST_SUITE_P(Requests, NavigationTest, testing::ValuesIn(kCases));

TEST(Navigation, RenameRewritesEveryMenuNamingTheFile) {
  const CheckedSet set = Check(kSet, "/s/main.ivr");
  const Json position{{"line", 2}, {"character", 24}};
  const RequestAnswer answer = RenameFile(set, "/s/main.ivr", position, "faq.ivr", Seams(kFolder));
  ASSERT_EQ(answer.strRefusal, "");
  EXPECT_EQ(Summary(answer.result["documentChanges"]),
            "file:///s/main.ivr 2:21-2:29=faq.ivr; ; file:///s/sales.ivr 2:21-2:29=faq.ivr; ; "
            "rename file:///s/help.ivr file:///s/faq.ivr; ");
}

struct RefusalCase {
  const char* szFile;
  int nLine;
  std::string strName;
  std::string_view refusal;
};

TEST(Navigation, RenameRefusesWhatTheSetCannotTake) {
  // A set in Windows-1251 whose nested file stops the load before the one after it is read.
  const Files broken{{"/s/main.ivr",
                      "10   \xef\xf0\xe8\xe2\xe5\xf2.wav\n"
                      "1    menu            sales.ivr\n2    menu            help.ivr\n"},
                     {"/s/sales.ivr", "15\n"},
                     {"/s/help.ivr", "5    help.wav\n"}};
  const RefusalCase cases[] = {
      {"/s/main.ivr", 0, "x.ivr", text::kLspRenameMain},
      {"/s/help.ivr", 0, "", text::kLspRenameEmpty},
      {"/s/help.ivr", 0, "sub/x.ivr", text::kLspRenameNotPlain},
      {"/s/help.ivr", 0, "my menu.ivr", text::kLspRenameNotPlain},
      {"/s/help.ivr", 0, "x-y.ivr", text::kLspRenameNotPlain},
      {"/s/help.ivr", 0, "help.txt", text::kLspRenameNotPlain},
      {"/s/help.ivr", 0, std::string(58, 'a') + ".ivr", text::kLspRenameTooLong},
      {"/s/help.ivr", 0, "sales.ivr", text::kLspRenameTaken},
      {"/s/help.ivr", 0, "spare.ivr", text::kLspRenameTaken},
      {"/s/help.ivr", 0, "sales.v2.ivr", text::kLspRenameFormTaken},
      {"/s/sales.ivr", 0, "\xd0\xbc.ivr", text::kLspRenameNotAscii},
      {"/s/sales.ivr", 0, "x.ivr", text::kLspRenameUnread},
  };
  const CheckedSet whole = Check(kSet, "/s/main.ivr");
  const CheckedSet stopped = Check(broken, "/s/main.ivr");
  for (const RefusalCase& c : cases) {
    const CheckedSet& set = c.szFile == std::string("/s/sales.ivr") ? stopped : whole;
    const Json position{{"line", c.nLine}, {"character", 0}};
    const RequestAnswer answer = RenameFile(set, c.szFile, position, c.strName, Seams(kFolder));
    EXPECT_EQ(answer.result, nullptr) << c.strName;
    EXPECT_EQ(answer.strRefusal.substr(0, c.refusal.size()), c.refusal) << c.strName;
  }
  // Nothing to prepare on the main file either.
  EXPECT_EQ(PrepareRename(whole, "/s/main.ivr", Json{{"line", 0}, {"character", 0}}).strRefusal,
            text::kLspRenameMain);
}

} // namespace
} // namespace dovetrel
