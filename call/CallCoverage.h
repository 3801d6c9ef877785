#pragma once

#include "call/CallPath.h"
#include "flow/CallFlow.h"
#include "scenario/Finding.h"
#include "scenario/Message.h"
#include "vxml/VoiceXmlWriter.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace dovetrel {

/// A row that can act on a call, with the number of times the calls took it.
struct CoveredRow {
  SourcePlace row;
  int nHits = 0;
};

/// The rows of \p flow that can act in a document of \p dialect, menu by menu in row order: the
/// key rows that act (fax rows and keys no telephone sends only in the classic one), the no-input
/// row, and the busy rows that a dial which can act takes.
std::vector<SourcePlace> ActingRows(const CallFlow& flow, Dialect dialect);

/// How far a set of calls covers the rows of a scenario set that can act: the rows of every
/// dialect added, then the paths of the calls counted on them.
class CCallCoverage {
public:
  /// Adds \p rows to the rows to cover; a row already there stays once, with its count.
  void AddRows(const std::vector<SourcePlace>& rows);
  /// Counts every row \p path took; rows that cannot act are not counted.
  void Count(const CallPath& path);

  /// The rows in the order they were added, with their counts.
  const std::vector<CoveredRow>& Rows() const { return m_vecRows; }
  /// The rows no call took.
  int Uncovered() const;
  /// The share of rows some call took, in percent; 100 when no row can act.
  double Percent() const;

  /// Every row no call took, as a warning at its row (column 1), in the order of Rows().
  std::vector<Finding> Findings() const;
  /// "строк проверено звонками: COVERED из ALL (PERCENT %)", the summary of a coverage run.
  std::string Summary() const;
  /// The rows as an lcov tracefile named \p strTest: a record per scenario file (SF: its absolute
  /// path), a DA line per row with its count, LF and LH; what genhtml renders as annotated source.
  std::string Lcov(const std::string& strTest) const;

private:
  std::vector<CoveredRow> m_vecRows;
  std::map<std::pair<std::string, int>, std::size_t> m_mapIndex; ///< (file, line) to its row
};

/// Writes the tracefile of \p coverage to \p strPath, in place of any earlier file only once
/// complete. False, its message shown, when it cannot, or when \p strPath is one of \p keep (the
/// set's files and the records), which stay as they are.
[[nodiscard]] bool WriteLcov(const std::string& strPath, const CCallCoverage& coverage,
                             const std::vector<std::string>& keep, IMessageSink& messages);

} // namespace dovetrel
