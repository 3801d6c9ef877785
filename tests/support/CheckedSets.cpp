#include "tests/support/CheckedSets.h"

#include "convert/Conversion.h"
#include "tests/support/MemoryFiles.h"

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

} // namespace dovetrel::test
