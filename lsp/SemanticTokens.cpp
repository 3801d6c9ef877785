#include "lsp/SemanticTokens.h"

#include "lsp/LineWords.h"
#include "lsp/Protocol.h"
#include "scenario/ScenarioReader.h"
#include "text/Utf8.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// Token types, as indices into the legend.
enum TokenType : int { kKey, kKeyword, kArgument, kGreeting, kTimeout };

/// A token of one line: byte columns [nFirst, nEnd), 0-based.
struct LineToken {
  std::uint64_t nFirst;
  std::uint64_t nEnd;
  TokenType type;
};

/// The tokens of line \p nIndex (0-based) of a file, in column order.
std::vector<LineToken> LineTokens(const ReadLine& line, std::size_t nIndex) {
  const TakenWords words = TakeWords(line, nIndex == 0);
  std::vector<LineToken> tokens;
  const auto Add = [&](const TakenWord& word, std::uint64_t nEnd, TokenType type) {
    if (!word.strText.empty())
      tokens.push_back(LineToken{word.nFirst, nEnd, type});
  };
  if (nIndex == 0) {
    Add(words[0], words[0].nEnd, kTimeout);
    Add(words[1], words[1].nEnd, kGreeting);
    return tokens;
  }
  // The reader keeps the key word's first byte: its character is coloured.
  const std::size_t nKeyBytes = std::max<std::size_t>(Utf8SequenceLength(words[0].strText, 0), 1);
  Add(words[0], std::min(words[0].nFirst + nKeyBytes, words[0].nEnd), kKey);
  if (ParseActionKeyword(words[1].strText) != kindUnknown)
    Add(words[1], words[1].nEnd, kKeyword);
  Add(words[2], words[2].nEnd, kArgument);
  return tokens;
}

} // namespace

nlohmann::json SemanticTokensLegend() {
  return {{"tokenTypes", {"enumMember", "keyword", "parameter", "string", "number"}},
          {"tokenModifiers", nlohmann::json::array()}};
}

nlohmann::json SemanticTokens(const CheckedSet& set, const std::string& strPath) {
  nlohmann::json data = nlohmann::json::array();
  const auto found = set.lines.find(strPath);
  if (found == set.lines.end() || !EditorSplitsLikeReader(found->second))
    return {{"data", data}};
  const std::vector<ReadLine> read = ReaderLines(found->second);
  std::size_t nLastLine = 0;
  std::uint64_t nLastStart = 0;
  for (std::size_t i = 0; i < read.size(); ++i) {
    const std::string_view text = found->second[i];
    std::uint64_t nCovered = 0; // tokens may not overlap: one word taken twice is coloured once
    for (const LineToken& token : LineTokens(read[i], i)) {
      if (token.nFirst < nCovered)
        continue;
      nCovered = token.nEnd;
      const std::uint64_t nStart = Utf16Position(text, token.nFirst + 1);
      data.push_back(i - nLastLine);
      data.push_back(i == nLastLine ? nStart - nLastStart : nStart);
      data.push_back(Utf16Position(text, token.nEnd + 1) - nStart);
      data.push_back(static_cast<int>(token.type));
      data.push_back(0);
      nLastLine = i;
      nLastStart = nStart;
    }
  }
  return {{"data", data}};
}

} // namespace dovetrel
