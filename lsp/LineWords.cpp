#include "lsp/LineWords.h"

#include "scenario/ScenarioReader.h"
#include "scenario/TextFile.h"

#include <algorithm>

namespace dovetrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kEndOfText = '\x1A';

} // namespace

std::vector<ReadLine> ReaderLines(const std::vector<std::string>& lines) {
  std::vector<ReadLine> read;
  for (const std::string& line : lines) {
    ReadLine reading{line, 0};
    if (read.empty() && reading.text.starts_with(kByteOrderMark)) {
      reading.text.remove_prefix(kByteOrderMark.size());
      reading.nOffset = kByteOrderMark.size();
    }
    const std::size_t nEndOfText = reading.text.find(kEndOfText);
    if (nEndOfText == 0) // nothing of the line is taken: the text has ended before it
      break;
    reading.text = reading.text.substr(0, std::min(reading.text.find('\0'), nEndOfText));
    read.push_back(reading);
    if (nEndOfText != std::string_view::npos)
      break;
  }
  return read;
}

TakenWords TakeWords(const ReadLine& line, bool bHeader) {
  CScenarioLine kept;
  for (const char c : line.text)
    kept.Append(c);
  const std::string_view text = kept.Text();
  std::array<std::string_view, 3> words;
  if (bHeader) {
    const HeaderWords header = SplitHeaderLine(text);
    words = {header.timeout, header.greeting, {}};
  } else {
    const KeyLineWords key = SplitKeyLine(text);
    words = {key.key, key.action, key.argument};
  }
  TakenWords taken;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].empty())
      continue;
    const auto nIndex = static_cast<std::size_t>(words[i].data() - text.data());
    taken[i] = TakenWord{std::string(words[i]), line.nOffset + kept.ColumnOf(nIndex),
                         line.nOffset + kept.ColumnOf(nIndex + words[i].size() - 1) + 1};
  }
  return taken;
}

bool EditorSplitsLikeReader(const std::vector<std::string>& lines) {
  return std::ranges::none_of(
      lines, [](const std::string& line) { return line.find('\r') != std::string::npos; });
}

} // namespace dovetrel
