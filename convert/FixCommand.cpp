#include "convert/FixCommand.h"

#include "convert/Texts.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioTable.h"

#include <algorithm>
#include <map>
#include <memory>

namespace dovetrel {

namespace {

constexpr int kMaxRounds = 8; // each round mends what the previous one uncovered
constexpr int kContext = 3;   // lines of context around a hunk, as "diff -u"

/// The set's files as the fixes so far have made them; every other file as it is.
class CFixedFiles final : public IInputFiles {
public:
  explicit CFixedFiles(IInputFiles& base) : m_base(base) {}

  std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) override {
    const auto found = m_texts.find(strPath);
    if (found != m_texts.end())
      return std::make_unique<CMemoryInputFile>(found->second.strAfter);
    return m_base.Open(strPath, strReason);
  }

  /// The file \p strPath, read on first use; null when it cannot be opened.
  FixedFile* Get(const std::string& strPath) {
    if (const auto found = m_texts.find(strPath); found != m_texts.end())
      return &found->second;
    std::string strReason;
    const std::unique_ptr<IInputFile> pFile = m_base.Open(strPath, strReason);
    if (!pFile)
      return nullptr;
    std::string strBytes;
    char buffer[65536];
    for (std::ptrdiff_t nRead = 0; (nRead = pFile->Read(buffer, sizeof buffer)) != 0;) {
      if (nRead < 0)
        throw CFileReadError(strPath);
      strBytes.append(buffer, static_cast<std::size_t>(nRead));
    }
    m_order.push_back(strPath);
    return &m_texts.emplace(strPath, FixedFile{strPath, strBytes, strBytes}).first->second;
  }

  /// The files that change, in the order they were first read.
  std::vector<FixedFile> Changed() const {
    std::vector<FixedFile> changed;
    for (const std::string& strPath : m_order)
      if (const FixedFile& file = m_texts.at(strPath); file.strAfter != file.strBefore)
        changed.push_back(file);
    return changed;
  }

private:
  IInputFiles& m_base;
  std::map<std::string, FixedFile> m_texts;
  std::vector<std::string> m_order;
};

bool Overlaps(const TextEdit& a, const TextEdit& b) {
  return a.nLine == b.nLine && a.nFirstColumn < b.nEndColumn && b.nFirstColumn < a.nEndColumn;
}

/// Applies the safe fixes of \p findings that do not overlap one another; false when none applies.
bool ApplyRound(const std::vector<Finding>& findings, CFixedFiles& files) {
  std::map<std::string, std::vector<TextEdit>> edits;
  for (const Finding& finding : findings) {
    if (!IsSafeFix(finding.code) || finding.vecFix.empty())
      continue;
    std::vector<TextEdit>& fileEdits = edits[finding.strFile];
    const bool bClash = std::any_of(finding.vecFix.begin(), finding.vecFix.end(), [&](auto& edit) {
      return std::any_of(fileEdits.begin(), fileEdits.end(),
                         [&](const TextEdit& taken) { return Overlaps(edit, taken); });
    });
    if (!bClash)
      fileEdits.insert(fileEdits.end(), finding.vecFix.begin(), finding.vecFix.end());
  }
  bool bChanged = false;
  for (const auto& [strPath, fileEdits] : edits) {
    FixedFile* pFile = files.Get(strPath);
    if (!pFile || fileEdits.empty())
      continue;
    std::string strFixed = ApplyFix(pFile->strAfter, fileEdits);
    bChanged = bChanged || strFixed != pFile->strAfter;
    pFile->strAfter = std::move(strFixed);
  }
  return bChanged;
}

/// The lines of \p text without their LF; true in \p bLastEnded when the last one has one.
std::vector<std::string_view> SplitLines(std::string_view text, bool& bLastEnded) {
  std::vector<std::string_view> lines;
  for (std::size_t nStart = 0; nStart < text.size();) {
    const std::size_t nEnd = std::min(text.find('\n', nStart), text.size());
    lines.push_back(text.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  bLastEnded = text.empty() || text.back() == '\n';
  return lines;
}

/// "START,COUNT" of a hunk as "diff -u" writes it: COUNT left out when it is 1.
std::string HunkRange(std::size_t nFirst, std::size_t nCount) {
  return std::to_string(nFirst + 1) + (nCount == 1 ? "" : "," + std::to_string(nCount));
}

} // namespace

bool IsSafeFix(FindingCode code) {
  switch (code) {
  case FindingCode::KeyNotInColumn:
  case FindingCode::KeywordNotInColumn:
  case FindingCode::ArgumentEarly:
  case FindingCode::KeywordNotLowerCase:
  case FindingCode::GreetingTooNear:
    return true;
  default:
    return false;
  }
}

std::optional<std::vector<FixedFile>>
PlanFixes(const std::string& strIvrFile, IMessageSink& messages, const ConversionOptions& options) {
  if (strIvrFile.empty()) {
    ShowFailure(messages, FindingCode::NameMissing, text::kNameMissing, {});
    return std::nullopt;
  }
  CFixedFiles files(options.pFiles ? *options.pFiles : SystemInputFiles());
  ConversionOptions checking = options;
  checking.pFiles = &files;
  for (int nRound = 0; nRound < kMaxRounds; ++nRound)
    if (!ApplyRound(RunCheck(strIvrFile, checking), files))
      break;
  // A misplaced menu argument may keep the set from loading until it is mended: the set is
  // loaded as it will be, and one that still does not load is left as it is.
  CScenarioTable table;
  if (!LoadScenarioSet(strIvrFile, DirectoryOf(strIvrFile), table, {messages, files, nullptr})) {
    ShowFailure(messages, FindingCode::LoadFailed, text::kLoadFailed, {});
    return std::nullopt;
  }
  return files.Changed();
}

bool WriteFixes(const std::vector<FixedFile>& files, IMessageSink& messages) {
  std::vector<std::unique_ptr<IOutputStream>> streams;
  for (const FixedFile& file : files) {
    std::string strReason;
    std::unique_ptr<IOutputStream> pStream = CreateReplacingFile(file.strPath, strReason);
    if (pStream && !pStream->Write(file.strAfter.data(), file.strAfter.size()))
      strReason = pStream->Reason();
    else if (pStream) {
      streams.push_back(std::move(pStream));
      continue;
    }
    // The streams made so far go unused: their temporary files are removed.
    ShowFailure(messages, FindingCode::CannotWriteFix, text::kCannotWriteFix,
                {.strFile = file.strPath, .strNote = strReason});
    return false;
  }
  // Putting a complete file in place fails only when the system does (a full disk at fsync): the
  // files already in place are named, as they are fixed now.
  std::string strPlaced;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (!streams[i]->Commit()) {
      ShowFailure(messages, FindingCode::CannotWriteFix, text::kCannotWriteFix,
                  {.strFile = files[i].strPath,
                   .strNote = streams[i]->Reason() +
                              (strPlaced.empty() ? "" : "; уже исправлены:" + strPlaced)});
      return false;
    }
    strPlaced += " " + files[i].strPath;
  }
  return true;
}

std::vector<ChangedLine> ChangedLines(const FixedFile& file) {
  bool bEnded = false;
  const std::vector<std::string_view> before = SplitLines(file.strBefore, bEnded);
  const std::vector<std::string_view> after = SplitLines(file.strAfter, bEnded);
  std::vector<ChangedLine> changed;
  for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i)
    if (before[i] != after[i])
      changed.push_back(ChangedLine{static_cast<int>(i + 1), before[i], after[i]});
  return changed;
}

std::string UnifiedDiff(const FixedFile& file, const std::string& strName) {
  bool bEnded = false;
  const std::vector<std::string_view> before = SplitLines(file.strBefore, bEnded);
  const std::vector<std::string_view> after = SplitLines(file.strAfter, bEnded);
  const std::vector<ChangedLine> changed = ChangedLines(file);
  const auto Line = [&](char cSign, std::string_view line, std::size_t nIndex) {
    const bool bNoEnd = !bEnded && nIndex + 1 == before.size();
    return cSign + std::string(line) + (bNoEnd ? "\n\\ No newline at end of file\n" : "\n");
  };
  std::string strDiff = "--- a/" + strName + "\n+++ b/" + strName + "\n";
  for (std::size_t k = 0; k < changed.size();) {
    // A hunk takes every change whose context touches the previous one's.
    std::size_t nLast = k;
    while (nLast + 1 < changed.size() &&
           changed[nLast + 1].nLine - changed[nLast].nLine <= 2 * kContext + 1)
      ++nLast;
    const std::size_t nFrom =
        static_cast<std::size_t>(std::max(changed[k].nLine - 1 - kContext, 0));
    const std::size_t nTo = std::min<std::size_t>(changed[nLast].nLine + kContext, before.size());
    strDiff +=
        "@@ -" + HunkRange(nFrom, nTo - nFrom) + " +" + HunkRange(nFrom, nTo - nFrom) + " @@\n";
    for (std::size_t i = nFrom; i < nTo;) {
      if (before[i] == after[i]) {
        strDiff += Line(' ', before[i], i);
        ++i;
        continue;
      }
      std::size_t nRunEnd = i;
      while (nRunEnd < nTo && before[nRunEnd] != after[nRunEnd])
        ++nRunEnd;
      for (std::size_t j = i; j < nRunEnd; ++j)
        strDiff += Line('-', before[j], j);
      for (std::size_t j = i; j < nRunEnd; ++j)
        strDiff += Line('+', after[j], j);
      i = nRunEnd;
    }
    k = nLast + 1;
  }
  return strDiff;
}

} // namespace dovetrel
