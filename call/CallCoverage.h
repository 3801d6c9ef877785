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

/// The dials of \p flow whose no-answer outcome their rows tell apart, among the rows ActingRows
/// gives for \p dialect, in its order: the dials with a busy row. Busy takes that row where no
/// answer ends the call, so a call of the one does not cover the other, and the outcome is an item
/// of its own, at the dial's row.
std::vector<SourcePlace> NoAnswerDials(const CallFlow& flow, Dialect dialect);

/// How far a set of calls covers the rows of a scenario set that can act: the rows of every
/// dialect added, then the paths of the calls counted on them.
class CCallCoverage {
public:
  /// Adds \p rows to the rows to cover; a row already there stays once, with its count.
  void AddRows(const std::vector<SourcePlace>& rows);
  /// Adds the no-answer outcomes of \p dials (NoAnswerDials) to the items to cover; one already
  /// there stays once, with its count.
  void AddNoAnswers(const std::vector<SourcePlace>& dials);
  /// Counts every row \p path took and every no-answer outcome; those that are no item are not
  /// counted.
  void Count(const CallPath& path);

  /// The rows in the order they were added, with their counts.
  const std::vector<CoveredRow>& Rows() const { return m_vecRows; }
  /// The no-answer outcomes, each at its dial's row, in the order they were added.
  const std::vector<CoveredRow>& NoAnswers() const { return m_vecNoAnswers; }
  /// The items, rows and no-answer outcomes, no call took.
  int Uncovered() const;
  /// The share of items some call took, in percent; 100 when there is none.
  double Percent() const;

  /// Every item no call took, as a warning at its row (column 1), in the order of Rows(), a
  /// dial's no-answer outcome after the dial.
  std::vector<Finding> Findings() const;
  /// "строк проверено звонками: COVERED из ALL (PERCENT %)", the summary of a coverage run;
  /// where there are no-answer outcomes, their count before the share of all items
  /// (", исходов «нет ответа»: COVERED из ALL").
  std::string Summary() const;
  /// The items as an lcov tracefile named \p strTest: a record per scenario file (SF: its
  /// absolute path), a DA line per row with its count, LF and LH; a no-answer outcome is a
  /// branch of its dial's line (BRDA, BRF and BRH). What genhtml renders as annotated source.
  std::string Lcov(const std::string& strTest) const;

private:
  using Index = std::map<std::pair<std::string, int>, std::size_t>; ///< (file, line) to its item
  static void Add(const std::vector<SourcePlace>& places, std::vector<CoveredRow>& items,
                  Index& index);
  static void Count(const std::vector<SourcePlace>& places, std::vector<CoveredRow>& items,
                    const Index& index);

  std::vector<CoveredRow> m_vecRows;
  Index m_mapIndex;
  std::vector<CoveredRow> m_vecNoAnswers;
  Index m_mapNoAnswers;
};

/// Writes the tracefile of \p coverage to \p strPath, in place of any earlier file only once
/// complete. False, its message shown, when it cannot, or when \p strPath is one of \p keep (the
/// set's files and the records), which stay as they are.
[[nodiscard]] bool WriteLcov(const std::string& strPath, const CCallCoverage& coverage,
                             const std::vector<std::string>& keep, IMessageSink& messages);

} // namespace dovetrel
