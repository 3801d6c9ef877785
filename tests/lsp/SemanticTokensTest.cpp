#include "lsp/SemanticTokens.h"
#include "tests/support/CheckedSets.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

struct Tokens {
  std::string text;
  /// Each token as "LINE:CHARACTER+LENGTH TYPE", absolute, UTF-16.
  std::vector<std::string> tokens;
};

class SemanticTokensOfFile : public testing::TestWithParam<Tokens> {};

TEST_P(SemanticTokensOfFile, ColourWhatTheReaderTakesWhereItTakesIt) {
  const std::unique_ptr<CheckedSet> pSet =
      test::CheckInMemory({{"/s/main.ivr", GetParam().text}}, "/s/main.ivr");
  const nlohmann::json data = SemanticTokens(*pSet, "/s/main.ivr")["data"];
  const nlohmann::json types = SemanticTokensLegend()["tokenTypes"];
  ASSERT_EQ(data.size() % 5, 0U);
  std::vector<std::string> tokens;
  int nLine = 0;
  int nStart = 0;
  for (std::size_t i = 0; i < data.size(); i += 5) {
    nStart = (data[i] == 0 ? nStart : 0) + data[i + 1].get<int>();
    nLine += data[i].get<int>();
    tokens.push_back(std::to_string(nLine) + ":" + std::to_string(nStart) + "+" +
                     data[i + 2].dump() + " " +
                     types.at(data[i + 3].get<std::size_t>()).get<std::string>());
    EXPECT_EQ(data[i + 4], 0);
  }
  EXPECT_EQ(tokens, GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SemanticTokensOfFile,
    testing::Values(
        Tokens{"10   привет.wav\nя    menu            меню.ivr\n2    dial            100\n",
               {"0:0+2 number", "0:5+10 string", "1:0+1 enumMember", "1:5+4 keyword",
                "1:21+8 parameter", "2:0+1 enumMember", "2:5+4 keyword", "2:21+3 parameter"}},
        // An unknown keyword stays uncoloured; a keyword read from the middle of a word is
        // coloured there; one word taken as key and action is coloured once.
        Tokens{"10   a.wav\n1    Menu            b.ivr\nxxxxxmenu\n     menu            b.ivr\n",
               {"0:0+2 number", "0:5+5 string", "1:0+1 enumMember", "1:21+5 parameter",
                "2:0+1 enumMember", "2:5+4 keyword", "3:5+1 enumMember", "3:21+5 parameter"}},
        // Nothing after the end of text; nothing at all where a lone CR splits lines for an editor.
        Tokens{"10   a.wav\x1A\n1    dial            100\n", {"0:0+2 number", "0:5+5 string"}},
        Tokens{"10   a.wav\r1    dial            100\n", {}}));

} // namespace
} // namespace dovetrel
