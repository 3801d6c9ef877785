#include "cli/CallCoverCommand.h"

#include "call/CallCover.h"
#include "call/CallRecord.h"
#include "call/Texts.h"
#include "cli/CommandLine.h"

#include <cerrno>
#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace dovetrel {

namespace {

void Error(std::ostream& err, const std::string& strText) {
  err << "error: dovetrel-call: " << strText << '\n';
}

CallExitStatus Faulted(const CallFault& fault, std::ostream& err) {
  Error(err, DescribeFault(fault));
  return CallExitStatus::Failure;
}

/// "N звонков", the word agreeing with \p n.
std::string CallCount(int n) {
  const int nTens = n % 100;
  const int nOnes = n % 10;
  const std::size_t nForm = nTens >= 11 && nTens <= 14 ? 2
                            : nOnes == 1               ? 0
                            : nOnes >= 2 && nOnes <= 4 ? 1
                                                       : 2;
  return std::to_string(n) + " " + std::string(text::kCoverCallForms[nForm]);
}

} // namespace

bool CoverFolderWritable(const std::string& strDir, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(strDir, error);
  if (!error && !std::filesystem::is_directory(strDir, error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (!error && access(strDir.c_str(), W_OK | X_OK) != 0)
    error = std::error_code(errno, std::generic_category());
  if (error)
    Error(err, std::string(text::kCoverFolderNotWritable) + " " + strDir + ": " + error.message());
  return !error;
}

CallExitStatus WriteCover(const PreparedCall& prepared, Dialect dialect, const std::string& strDir,
                          std::ostream& out, std::ostream& err) {
  const CallCover cover =
      CoverFlow(prepared.set.flow, *prepared.pProgram, dialect, prepared.set.strEncoding);
  for (const IdleRow& row : cover.idle)
    err << FormatFinding(Finding{FindingCode::RowNeverActs, Severity::Information,
                                 std::string(text::kCoverIdle) + row.strReason, row.source.strFile,
                                 row.source.nLine})
        << '\n';
  std::vector<std::string> setFiles;
  for (const FlowMenu& menu : prepared.set.flow.menus)
    setFiles.push_back(menu.strPath);
  CStreamMessageSink messages(err);
  int nWritten = 0;
  for (const CoverCall& generated : cover.calls) {
    const std::string strPath = (std::filesystem::path(strDir) / generated.strName).string();
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(strPath, error))) {
      err << strPath << ": " << text::kCoverRecordKept << '\n';
      continue;
    }
    if (!WriteCallRecord(strPath, generated.lines, setFiles, messages))
      return CallExitStatus::Failure;
    ++nWritten;
  }
  const int nCalls = static_cast<int>(cover.calls.size());
  out << text::kCoverWritten << ' ' << CallCount(nWritten);
  if (nWritten != nCalls)
    out << ' ' << text::kCoverOf << ' ' << nCalls;
  out << " (" << text::kCoverBound << ' ' << cover.nLowerBound << ": " << text::kCoverBoundWhy
      << ")\n";
  return cover.fault.strText.empty() ? CallExitStatus::Success : Faulted(cover.fault, err);
}

} // namespace dovetrel
