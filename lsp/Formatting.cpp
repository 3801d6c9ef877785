#include "lsp/Formatting.h"

#include "lsp/LineWords.h"
#include "scenario/ScenarioReader.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// The columns the words of a line belong in, one space at least after the word before.
std::vector<std::uint64_t> Targets(const std::vector<const TakenWord*>& words, bool bHeader) {
  std::vector<std::uint64_t> targets;
  std::uint64_t nEnd = 0;
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::uint64_t nHome = 0;
    if (bHeader && i == 1)
      nHome = GreetingColumn(words[0]->strText.size());
    else if (!bHeader && i > 0)
      nHome = i == 1 ? kActionColumn : kArgumentColumn;
    targets.push_back(i == 0 ? 0 : std::max(nHome, nEnd + 1));
    nEnd = targets.back() + (words[i]->nEnd - words[i]->nFirst);
  }
  return targets;
}

/// True when the words of \p line begin with \p taken, each whole: nothing passed over before the
/// last one taken, none taken from its middle or twice.
bool TakesWholeWords(const ReadLine& line, const std::vector<const TakenWord*>& taken) {
  std::size_t nStart = line.text.find_first_not_of(' ');
  for (const TakenWord* pWord : taken) {
    if (nStart == std::string_view::npos)
      return false;
    const std::size_t nEnd = std::min(line.text.find(' ', nStart), line.text.size());
    if (pWord->nFirst != line.nOffset + nStart || pWord->nEnd != line.nOffset + nEnd ||
        pWord->strText != line.text.substr(nStart, nEnd - nStart))
      return false;
    nStart = line.text.find_first_not_of(' ', nEnd);
  }
  return true;
}

/// The edits of line \p nLine (1-based), read as \p line.
void LayOutLine(const ReadLine& line, int nLine, std::vector<TextEdit>& edits) {
  const bool bHeader = nLine == 1;
  const TakenWords words = TakeWords(line, bHeader);
  std::vector<const TakenWord*> taken;
  for (const TakenWord& word : words)
    if (!word.strText.empty())
      taken.push_back(&word);
  if (taken.empty() || !TakesWholeWords(line, taken))
    return;
  const std::vector<std::uint64_t> targets = Targets(taken, bHeader);
  // The line as laid out, to be read again: it must give the same words.
  std::string strLaidOut;
  std::vector<TextEdit> lineEdits;
  std::uint64_t nOldEnd = line.nOffset;
  for (std::size_t i = 0; i < taken.size(); ++i) {
    const std::uint64_t nSpaces = targets[i] - strLaidOut.size();
    if (nSpaces != taken[i]->nFirst - nOldEnd)
      lineEdits.push_back(
          TextEdit{nLine, nOldEnd + 1, taken[i]->nFirst + 1, std::string(nSpaces, ' ')});
    strLaidOut.append(nSpaces, ' ');
    strLaidOut += taken[i]->strText;
    nOldEnd = taken[i]->nEnd;
  }
  strLaidOut += line.text.substr(nOldEnd - line.nOffset);
  const TakenWords again = TakeWords(ReadLine{strLaidOut, 0}, bHeader);
  for (std::size_t i = 0; i < words.size(); ++i)
    if (again[i].strText != words[i].strText)
      return;
  edits.insert(edits.end(), lineEdits.begin(), lineEdits.end());
}

} // namespace

std::uint64_t GreetingColumn(std::size_t nTimeoutBytes) {
  return std::max<std::uint64_t>(kActionColumn, nTimeoutBytes + 3);
}

std::string HeaderLine(std::string_view timeout, std::string_view greeting) {
  std::string strLine(timeout);
  strLine.resize(GreetingColumn(timeout.size()), ' ');
  return strLine += greeting;
}

std::vector<TextEdit> LayoutEdits(const std::vector<std::string>& lines) {
  std::vector<TextEdit> edits;
  if (!EditorSplitsLikeReader(lines))
    return edits;
  const std::vector<ReadLine> read = ReaderLines(lines);
  for (std::size_t i = 0; i < read.size(); ++i)
    LayOutLine(read[i], static_cast<int>(i) + 1, edits);
  return edits;
}

nlohmann::json FormatFile(const CheckedSet& set, const std::string& strPath) {
  const auto found = set.lines.find(strPath);
  nlohmann::json edits = nlohmann::json::array();
  if (found == set.lines.end())
    return edits;
  for (const TextEdit& edit : LayoutEdits(found->second))
    edits.push_back({{"range",
                      {{"start", set.Position(strPath, edit.nLine, edit.nFirstColumn)},
                       {"end", set.Position(strPath, edit.nLine, edit.nEndColumn)}}},
                     {"newText", edit.strText}});
  return edits;
}

} // namespace dovetrel
