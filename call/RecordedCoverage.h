#pragma once

#include "call/CallCoverage.h"
#include "call/CallRecord.h"
#include "call/CallSetup.h"
#include "diagram/DiagramGraph.h"

#include <optional>
#include <string>
#include <vector>

namespace dovetrel {

/// A call's record read for a coverage run: where it comes from and its transcript lines.
struct CoverageRecord {
  std::string strPath;
  std::vector<RecordedLine> lines;
};

/// Reads the records at \p paths, every one before any call runs, so that a bad record stops the
/// run before the set is converted. Nothing, with the first that fails in \p error (ReadError: it
/// cannot be read; RecordNotTranscript: it is no transcript, at its file and line).
[[nodiscard]] std::optional<std::vector<CoverageRecord>>
ReadCoverageRecords(const std::vector<std::string>& paths, Finding& error);

/// What recorded calls found on a scenario set.
struct RecordedCoverage {
  CCallCoverage coverage;            ///< the rows of every dialect run, with the calls' counts
  std::vector<std::string> setFiles; ///< full paths of the set's files, never to be written over
  /// Every call that parts from its record, "звонок расходится с записью PATH:LINE: в записи «…»,
  /// в звонке «…» (документ DIALECT)", in the order they ran; such a call still counts as it ran.
  std::vector<std::string> differences;
  std::optional<CallFault> fault; ///< the document failed on a call: the run stopped there
};

/// Runs each of \p records on \p program (the document of \p set in \p dialect) as
/// dovetrel-call --expect does, after adding the rows that can act in \p dialect to \p run, and
/// counts there the rows each call took. Stops at a fault of the document.
void CountRecordedCalls(const CallSet& set, const CCallProgram& program, Dialect dialect,
                        const std::vector<CoverageRecord>& records, RecordedCoverage& run);

/// Converts the set \p strIvrFile for a call in each of \p dialects, as dovetrel-call does
/// (\p strEncoding as --encoding gives it, empty to detect), and counts \p records on each
/// document. Nothing when the set does not convert or its document does not compile, as said on
/// \p messages.
[[nodiscard]] std::optional<RecordedCoverage>
CoverRecordedCalls(const std::string& strIvrFile, const std::vector<CoverageRecord>& records,
                   const std::vector<Dialect>& dialects, const std::string& strEncoding,
                   IMessageSink& messages);

/// The rows of \p coverage and its dials' no-answer outcomes with their counts, as a drawing of
/// the call flow shows them.
DiagramMarks CoverageMarks(const CCallCoverage& coverage);

} // namespace dovetrel
