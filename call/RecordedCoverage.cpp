#include "call/RecordedCoverage.h"

#include "call/CallPath.h"
#include "call/Texts.h"

namespace dovetrel {

std::optional<std::vector<CoverageRecord>>
ReadCoverageRecords(const std::vector<std::string>& paths, Finding& error) {
  std::vector<CoverageRecord> records;
  for (const std::string& strPath : paths) {
    std::optional<std::vector<RecordedLine>> lines = ReadCallRecord(strPath, error);
    if (!lines)
      return std::nullopt;
    records.push_back({strPath, std::move(*lines)});
  }
  return records;
}

void CountRecordedCalls(const CallSet& set, const CCallProgram& program, Dialect dialect,
                        const std::vector<CoverageRecord>& records, RecordedCoverage& run) {
  for (const FlowMenu& menu : set.flow.menus)
    run.setFiles.push_back(menu.strPath);
  run.coverage.AddRows(ActingRows(set.flow, dialect));
  run.coverage.AddNoAnswers(NoAnswerDials(set.flow, dialect));
  for (const CoverageRecord& record : records) {
    Replay replay = ReplayRecord(program, record.lines, record.strPath, set.strEncoding);
    if (replay.fault) {
      run.fault = std::move(replay.fault);
      return;
    }
    if (!replay.strDifference.empty())
      run.differences.push_back(
          std::string(text::kCallDiffers) + replay.strDifference +
          std::string(dialect == Dialect::W3c ? text::kInW3cDocument : text::kInClassicDocument));
    run.coverage.Count(TraceCallPath(set.flow, set.menus, replay.lines, set.strEncoding, dialect));
  }
}

std::optional<RecordedCoverage> CoverRecordedCalls(const std::string& strIvrFile,
                                                   const std::vector<CoverageRecord>& records,
                                                   const std::vector<Dialect>& dialects,
                                                   const std::string& strEncoding,
                                                   IMessageSink& messages) {
  RecordedCoverage run;
  ConversionOptions options;
  options.strEncoding = strEncoding;
  for (const Dialect dialect : dialects) {
    options.dialect = dialect;
    const std::optional<PreparedCall> prepared = PrepareCall(strIvrFile, messages, options);
    if (!prepared)
      return std::nullopt;
    CountRecordedCalls(prepared->set, *prepared->pProgram, dialect, records, run);
    if (run.fault)
      break;
  }
  return run;
}

DiagramMarks CoverageMarks(const CCallCoverage& coverage) {
  DiagramMarks marks;
  for (const CoveredRow& row : coverage.Rows())
    marks.hits[{row.row.strFile, row.row.nLine}] = row.nHits;
  for (const CoveredRow& dial : coverage.NoAnswers())
    marks.noAnswers[{dial.row.strFile, dial.row.nLine}] = dial.nHits;
  return marks;
}

} // namespace dovetrel
