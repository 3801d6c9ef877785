#include "cli/CallCoverCommand.h"

#include "call/CoverFolder.h"
#include "call/Texts.h"
#include "cli/CommandLine.h"

#include <ostream>

namespace dovetrel {

namespace {

void Error(std::ostream& err, const std::string& strText) {
  err << "error: dovetrel-call: " << strText << '\n';
}

} // namespace

bool CoverFolderWritable(const std::string& strDir, std::ostream& err) {
  std::string strError;
  if (CoverFolderWritable(strDir, strError))
    return true;
  Error(err, strError);
  return false;
}

CallExitStatus WriteCover(const PreparedCall& prepared, Dialect dialect, const std::string& strDir,
                          std::ostream& out, std::ostream& err) {
  CStreamMessageSink messages(err);
  CoverWriting writing;
  const bool bWritten =
      WriteCoverRecords(prepared.set, *prepared.pProgram, dialect, strDir, messages, writing);
  for (const IdleRow& row : writing.cover.idle)
    err << FormatFinding(Finding{FindingCode::RowNeverActs, Severity::Information,
                                 std::string(text::kCoverIdle) + row.strReason, row.source.strFile,
                                 row.source.nLine})
        << '\n';
  for (const std::string& strKept : writing.kept)
    err << strKept << ": " << text::kCoverRecordKept << '\n';
  if (!bWritten)
    return CallExitStatus::Failure;
  out << CoverCountText(writing) << '\n';
  if (writing.cover.fault.strText.empty())
    return CallExitStatus::Success;
  Error(err, DescribeFault(writing.cover.fault));
  return CallExitStatus::Failure;
}

} // namespace dovetrel
