#include "call/CallCoverage.h"

#include "call/Texts.h"
#include "convert/Conversion.h"
#include "text/Keys.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <iterator>

namespace dovetrel {

namespace {

/// True when the key row \p key can act in a document of \p dialect.
bool KeyActs(const KeyAction& key, Dialect dialect) {
  return dialect == Dialect::Classic || (key.key != keyFax && IsDtmfKey(key.key));
}

/// Adds the row of \p action to \p rows, and its busy row after a dial.
void AddAction(const FlowAction& action, std::vector<SourcePlace>& rows) {
  rows.push_back(action.source);
  if (action.kind == ActionKind::Dial && action.busy)
    rows.push_back(action.busy->source);
}

/// \p strPath absolute, as a tracefile names its source; as it is when it cannot be made so.
std::string AbsolutePath(const std::string& strPath) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
  return error ? strPath : absolute.lexically_normal().string();
}

} // namespace

std::vector<SourcePlace> ActingRows(const CallFlow& flow, Dialect dialect) {
  std::vector<SourcePlace> rows;
  for (const FlowMenu& menu : flow.menus) {
    std::vector<SourcePlace> menuRows;
    for (const KeyAction& key : menu.keys)
      if (KeyActs(key, dialect))
        AddAction(key.action, menuRows);
    if (menu.noInput)
      AddAction(*menu.noInput, menuRows);
    std::sort(menuRows.begin(), menuRows.end(),
              [](const SourcePlace& a, const SourcePlace& b) { return a.nLine < b.nLine; });
    for (SourcePlace& row : menuRows)
      if (rows.empty() || rows.back().strFile != row.strFile || rows.back().nLine != row.nLine)
        rows.push_back(std::move(row)); // a busy row serves every dial of its menu: once
  }
  return rows;
}

void CCallCoverage::AddRows(const std::vector<SourcePlace>& rows) {
  for (const SourcePlace& row : rows)
    if (m_mapIndex.emplace(std::pair(row.strFile, row.nLine), m_vecRows.size()).second)
      m_vecRows.push_back({row, 0});
}

void CCallCoverage::Count(const CallPath& path) {
  for (const SourcePlace& row : path.rows)
    if (const auto found = m_mapIndex.find({row.strFile, row.nLine}); found != m_mapIndex.end())
      ++m_vecRows[found->second].nHits;
}

int CCallCoverage::Uncovered() const {
  return static_cast<int>(std::count_if(m_vecRows.begin(), m_vecRows.end(),
                                        [](const CoveredRow& row) { return row.nHits == 0; }));
}

double CCallCoverage::Percent() const {
  if (m_vecRows.empty())
    return 100.0;
  const auto nAll = static_cast<double>(m_vecRows.size());
  return 100.0 * (nAll - Uncovered()) / nAll;
}

std::vector<Finding> CCallCoverage::Findings() const {
  std::vector<Finding> findings;
  for (const CoveredRow& row : m_vecRows)
    if (row.nHits == 0)
      findings.push_back({FindingCode::RowNotCovered, Severity::Warning,
                          std::string(text::kRowNotCovered), row.row.strFile, row.row.nLine, 1});
  return findings;
}

std::string CCallCoverage::Summary() const {
  // Rounded down, so that a set one row short of all never reads as 100 %.
  const int nAll = static_cast<int>(m_vecRows.size());
  const double fTenths = static_cast<double>(static_cast<long long>(Percent() * 10.0)) / 10.0;
  std::array<char, 32> percent{};
  std::snprintf(percent.data(), percent.size(), "%.1f", fTenths);
  std::string strPercent(percent.data());
  std::replace(strPercent.begin(), strPercent.end(), '.', ',');
  return "строк проверено звонками: " + std::to_string(nAll - Uncovered()) + " из " +
         std::to_string(nAll) + " (" + strPercent + " %)";
}

std::string CCallCoverage::Lcov(const std::string& strTest) const {
  std::vector<std::string> files; // in the order of their first row
  for (const CoveredRow& row : m_vecRows)
    if (std::find(files.begin(), files.end(), row.row.strFile) == files.end())
      files.push_back(row.row.strFile);
  std::string strTrace;
  for (const std::string& strFile : files) {
    std::vector<CoveredRow> rows;
    std::copy_if(m_vecRows.begin(), m_vecRows.end(), std::back_inserter(rows),
                 [&](const CoveredRow& row) { return row.row.strFile == strFile; });
    std::sort(rows.begin(), rows.end(),
              [](const CoveredRow& a, const CoveredRow& b) { return a.row.nLine < b.row.nLine; });
    strTrace += "TN:" + strTest + "\nSF:" + AbsolutePath(strFile) + '\n';
    const auto nHit = std::count_if(rows.begin(), rows.end(),
                                    [](const CoveredRow& row) { return row.nHits > 0; });
    for (const CoveredRow& row : rows)
      strTrace += "DA:" + std::to_string(row.row.nLine) + ',' + std::to_string(row.nHits) + '\n';
    strTrace +=
        "LF:" + std::to_string(rows.size()) + "\nLH:" + std::to_string(nHit) + "\nend_of_record\n";
  }
  return strTrace;
}

bool WriteLcov(const std::string& strPath, const CCallCoverage& coverage,
               const std::vector<std::string>& keep, IMessageSink& messages) {
  return WriteSideFile(strPath, coverage.Lcov("dovetrel"), keep,
                       {FindingCode::CannotWriteCall, text::kLcovIsSetFile,
                        FindingCode::CannotWriteCall, text::kCannotWriteLcov},
                       messages);
}

} // namespace dovetrel
