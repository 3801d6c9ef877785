#include "lsp/CheckedSet.h"

#include "lsp/Protocol.h"

#include <algorithm>

namespace dovetrel {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t nEnd = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, nEnd);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(std::min(nEnd + 1, text.size()));
  }
  return lines;
}

std::string_view CheckedSet::Line(const std::string& strPath, int nLine) const {
  const auto found = lines.find(strPath);
  if (found == lines.end() || nLine < 1 || static_cast<std::size_t>(nLine) > found->second.size())
    return {};
  return found->second[static_cast<std::size_t>(nLine) - 1];
}

nlohmann::json CheckedSet::Position(const std::string& strPath, int nLine,
                                    std::uint64_t nColumn) const {
  const std::string_view line = Line(strPath, nLine);
  return nlohmann::json{
      {"line", std::max(nLine, 1) - 1},
      {"character", Utf16Position(line, nColumn == 0 ? line.size() + 1 : nColumn)}};
}

std::uint64_t CheckedSet::ByteColumn(const std::string& strPath,
                                     const nlohmann::json& position) const {
  const int nLine = position.at("line").get<int>() + 1;
  return dovetrel::ByteColumn(Line(strPath, nLine), position.at("character").get<std::uint64_t>());
}

} // namespace dovetrel
