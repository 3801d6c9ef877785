#include "tests/support/CheckedSets.h"

#include "convert/Conversion.h"
#include "lsp/Protocol.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

namespace dovetrel::test {

std::unique_ptr<CheckedSet> CheckInMemory(const Files& files, const std::string& strRoot,
                                          const std::string& strEncoding,
                                          std::vector<Finding>* pFindings) {
  CMemoryFiles memory;
  for (const auto& [strPath, strContent] : files)
    memory.Add(strPath, strContent);
  auto pSet = std::make_unique<CheckedSet>();
  pSet->strRoot = strRoot;
  ConversionOptions options;
  options.pFiles = &memory;
  options.strEncoding = strEncoding;
  std::vector<Finding> findings = RunCheck(strRoot, options, &pSet->table);
  pSet->flow = BuildCallFlow(pSet->table);
  for (const std::string& strPath : pSet->table.FilePaths())
    pSet->lines.try_emplace(strPath, SplitLines(files.at(strPath)));
  if (pFindings)
    *pFindings = std::move(findings);
  return pSet;
}

std::string ApplyEdits(const std::string& text, const nlohmann::json& edits) {
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<TextEdit> fix;
  for (const nlohmann::json& edit : edits) {
    const nlohmann::json& range = edit.at("range");
    const int nLine = range["start"]["line"].get<int>();
    EXPECT_EQ(range["end"]["line"], nLine);
    const std::string& line = lines.at(static_cast<std::size_t>(nLine));
    fix.push_back(TextEdit{nLine + 1,
                           ByteColumn(line, range["start"]["character"].get<std::uint64_t>()),
                           ByteColumn(line, range["end"]["character"].get<std::uint64_t>()),
                           edit.at("newText").get<std::string>()});
  }
  return ApplyFix(text, fix);
}

} // namespace dovetrel::test
