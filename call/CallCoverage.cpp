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

/// The items of \p items no call took.
int CountUncovered(const std::vector<CoveredRow>& items) {
  return static_cast<int>(std::count_if(items.begin(), items.end(),
                                        [](const CoveredRow& item) { return item.nHits == 0; }));
}

/// The items of \p items at rows of \p strFile, in row order.
std::vector<CoveredRow> ItemsOf(const std::vector<CoveredRow>& items, const std::string& strFile) {
  std::vector<CoveredRow> inFile;
  std::copy_if(items.begin(), items.end(), std::back_inserter(inFile),
               [&](const CoveredRow& item) { return item.row.strFile == strFile; });
  std::sort(inFile.begin(), inFile.end(),
            [](const CoveredRow& a, const CoveredRow& b) { return a.row.nLine < b.row.nLine; });
  return inFile;
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

std::vector<SourcePlace> NoAnswerDials(const CallFlow& flow, Dialect dialect) {
  std::vector<SourcePlace> dials;
  for (const FlowMenu& menu : flow.menus) {
    std::vector<const FlowAction*> actions;
    for (const KeyAction& key : menu.keys)
      if (KeyActs(key, dialect))
        actions.push_back(&key.action);
    if (menu.noInput)
      actions.push_back(&*menu.noInput);
    std::sort(actions.begin(), actions.end(), [](const FlowAction* a, const FlowAction* b) {
      return a->source.nLine < b->source.nLine;
    });
    for (const FlowAction* pAction : actions)
      if (pAction->kind == ActionKind::Dial && pAction->busy)
        dials.push_back(pAction->source);
  }
  return dials;
}

void CCallCoverage::Add(const std::vector<SourcePlace>& places, std::vector<CoveredRow>& items,
                        Index& index) {
  for (const SourcePlace& place : places)
    if (index.emplace(std::pair(place.strFile, place.nLine), items.size()).second)
      items.push_back({place, 0});
}

void CCallCoverage::Count(const std::vector<SourcePlace>& places, std::vector<CoveredRow>& items,
                          const Index& index) {
  for (const SourcePlace& place : places)
    if (const auto found = index.find({place.strFile, place.nLine}); found != index.end())
      ++items[found->second].nHits;
}

void CCallCoverage::AddRows(const std::vector<SourcePlace>& rows) {
  Add(rows, m_vecRows, m_mapIndex);
}

void CCallCoverage::AddNoAnswers(const std::vector<SourcePlace>& dials) {
  Add(dials, m_vecNoAnswers, m_mapNoAnswers);
}

void CCallCoverage::Count(const CallPath& path) {
  Count(path.rows, m_vecRows, m_mapIndex);
  Count(path.noAnswers, m_vecNoAnswers, m_mapNoAnswers);
}

int CCallCoverage::Uncovered() const {
  return CountUncovered(m_vecRows) + CountUncovered(m_vecNoAnswers);
}

double CCallCoverage::Percent() const {
  const auto nAll = static_cast<double>(m_vecRows.size() + m_vecNoAnswers.size());
  if (nAll == 0)
    return 100.0;
  return 100.0 * (nAll - Uncovered()) / nAll;
}

std::vector<Finding> CCallCoverage::Findings() const {
  // Each finding with the row it stands at, a no-answer outcome after its dial's row.
  std::vector<std::pair<std::pair<std::size_t, int>, Finding>> placed;
  const auto Place = [&](const CoveredRow& item, int nAfter, std::string_view text) {
    const auto row = m_mapIndex.find({item.row.strFile, item.row.nLine});
    placed.push_back({{row == m_mapIndex.end() ? m_vecRows.size() : row->second, nAfter},
                      {FindingCode::RowNotCovered, Severity::Warning, std::string(text),
                       item.row.strFile, item.row.nLine, 1}});
  };
  for (const CoveredRow& row : m_vecRows)
    if (row.nHits == 0)
      Place(row, 0, text::kRowNotCovered);
  for (const CoveredRow& dial : m_vecNoAnswers)
    if (dial.nHits == 0)
      Place(dial, 1, text::kNoAnswerNotCovered);
  std::stable_sort(placed.begin(), placed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Finding> findings;
  findings.reserve(placed.size());
  for (auto& [where, finding] : placed)
    findings.push_back(std::move(finding));
  return findings;
}

std::string CCallCoverage::Summary() const {
  // Rounded down, so that a set one row short of all never reads as 100 %.
  const double fTenths = static_cast<double>(static_cast<long long>(Percent() * 10.0)) / 10.0;
  std::array<char, 32> percent{};
  std::snprintf(percent.data(), percent.size(), "%.1f", fTenths);
  std::string strPercent(percent.data());
  std::replace(strPercent.begin(), strPercent.end(), '.', ',');
  const auto Covered = [](const std::vector<CoveredRow>& items) {
    const auto nAll = static_cast<int>(items.size());
    return std::to_string(nAll - CountUncovered(items)) + " из " + std::to_string(nAll);
  };
  std::string strSummary = "строк проверено звонками: " + Covered(m_vecRows);
  if (!m_vecNoAnswers.empty())
    strSummary += std::string(text::kNoAnswersCovered) + Covered(m_vecNoAnswers);
  return strSummary + " (" + strPercent + " %)";
}

std::string CCallCoverage::Lcov(const std::string& strTest) const {
  std::vector<std::string> files; // in the order of their first row
  for (const std::vector<CoveredRow>* pItems : {&m_vecRows, &m_vecNoAnswers})
    for (const CoveredRow& item : *pItems)
      if (std::find(files.begin(), files.end(), item.row.strFile) == files.end())
        files.push_back(item.row.strFile);
  std::string strTrace;
  for (const std::string& strFile : files) {
    strTrace += "TN:" + strTest + "\nSF:" + AbsolutePath(strFile) + '\n';
    const std::vector<CoveredRow> dials = ItemsOf(m_vecNoAnswers, strFile);
    for (const CoveredRow& dial : dials)
      strTrace +=
          "BRDA:" + std::to_string(dial.row.nLine) + ",0,0," + std::to_string(dial.nHits) + '\n';
    if (!dials.empty())
      strTrace += "BRF:" + std::to_string(dials.size()) + "\nBRH:" +
                  std::to_string(dials.size() - static_cast<std::size_t>(CountUncovered(dials))) +
                  '\n';
    const std::vector<CoveredRow> rows = ItemsOf(m_vecRows, strFile);
    for (const CoveredRow& row : rows)
      strTrace += "DA:" + std::to_string(row.row.nLine) + ',' + std::to_string(row.nHits) + '\n';
    strTrace += "LF:" + std::to_string(rows.size()) + "\nLH:" +
                std::to_string(rows.size() - static_cast<std::size_t>(CountUncovered(rows))) +
                "\nend_of_record\n";
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
