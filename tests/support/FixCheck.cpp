#include "tests/support/FixCheck.h"

#include "convert/Conversion.h"
#include "convert/FixCommand.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dovetrel::test {

namespace {

std::vector<Finding> Check(const FileSet& files) {
  CMemoryFiles memory;
  for (const auto& [strPath, strContent] : files)
    memory.Add(strPath, strContent);
  ConversionOptions options;
  options.pFiles = &memory;
  return RunCheck("/s/main.ivr", options);
}

/// How many of \p findings are of \p code in \p strFile.
long Count(const std::vector<Finding>& findings, FindingCode code, const std::string& strFile) {
  return std::count_if(findings.begin(), findings.end(), [&](const Finding& finding) {
    return finding.code == code && finding.strFile == strFile;
  });
}

/// \p files with the fix of \p finding applied.
FileSet Fixed(FileSet files, const Finding& finding) {
  files[finding.strFile] = ApplyFix(files[finding.strFile], finding.vecFix);
  return files;
}

} // namespace

void ExpectFixesMend(const FileSet& files) {
  const std::vector<Finding> findings = Check(files);
  for (const Finding& finding : findings) {
    if (finding.vecFix.empty())
      continue;
    const FileSet fixed = Fixed(files, finding);
    EXPECT_LT(Count(Check(fixed), finding.code, finding.strFile),
              Count(findings, finding.code, finding.strFile))
        << FormatFinding(finding) << "\nfixed: " << fixed.at(finding.strFile);
    if (finding.code == FindingCode::TextAfterWord || finding.code == FindingCode::KeyTooLong) {
      EXPECT_EQ(Document(fixed), Document(files)) << FormatFinding(finding);
    }
  }
}

FileSet FixAll(FileSet files) {
  for (int nRound = 0; nRound < 20; ++nRound) {
    const std::vector<Finding> findings = Check(files);
    const auto fixable = std::find_if(findings.begin(), findings.end(), [](const Finding& finding) {
      return !finding.vecFix.empty();
    });
    if (fixable == findings.end())
      break;
    files = Fixed(files, *fixable);
  }
  return files;
}

FileSet ExpectSafeFixesApplied(const FileSet& files) {
  CMemoryFiles memory;
  for (const auto& [strPath, strContent] : files)
    memory.Add(strPath, strContent);
  ConversionOptions options;
  options.pFiles = &memory;
  CCollectingMessages messages;
  const std::optional<std::vector<FixedFile>> changed = PlanFixes("/s/main.ivr", messages, options);
  messages.Discard();
  if (!changed) {
    EXPECT_TRUE(HasFindings(Check(files), Severity::Error));
    return files;
  }
  FileSet fixed = files;
  for (const FixedFile& file : *changed) {
    EXPECT_EQ(file.strBefore, files.at(file.strPath));
    EXPECT_NE(file.strAfter, file.strBefore);
    EXPECT_EQ(std::count(file.strAfter.begin(), file.strAfter.end(), '\n'),
              std::count(file.strBefore.begin(), file.strBefore.end(), '\n'));
    fixed[file.strPath] = file.strAfter;
  }
  for (const Finding& finding : Check(fixed)) {
    EXPECT_FALSE(IsSafeFix(finding.code) && !finding.vecFix.empty()) << FormatFinding(finding);
  }
  return fixed;
}

std::string Document(const FileSet& files) {
  CMemoryFiles memory;
  for (const auto& [strPath, strContent] : files)
    memory.Add(strPath, strContent);
  CMemoryOutput output;
  ConversionOptions options;
  options.pFiles = &memory;
  options.pOutput = &output;
  CCollectingMessages messages;
  CScenarioTable table;
  std::string strBaseDir;
  const ConversionOutcome outcome =
      RunConversion("/s/main.ivr", "/s/main.vxml", strBaseDir, table, messages, options);
  messages.Discard();
  return outcome == ConversionOutcome::Converted ? output.m_strDocument : std::string();
}

} // namespace dovetrel::test
