#include "call/CoverFolder.h"

#include "call/CallRecord.h"
#include "call/Texts.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace dovetrel {

namespace {

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

bool CoverFolderWritable(const std::string& strDir, std::string& strError) {
  std::error_code error;
  std::filesystem::create_directories(strDir, error);
  if (!error && !std::filesystem::is_directory(strDir, error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (!error && access(strDir.c_str(), W_OK | X_OK) != 0)
    error = std::error_code(errno, std::generic_category());
  if (error)
    strError = std::string(text::kCoverFolderNotWritable) + " " + strDir + ": " + error.message();
  return !error;
}

bool WriteCoverRecords(const CallSet& set, const CCallProgram& program, Dialect dialect,
                       const std::string& strDir, IMessageSink& messages, CoverWriting& writing) {
  writing.cover = CoverFlow(set.flow, program, dialect, set.strEncoding);
  std::vector<std::string> setFiles;
  for (const FlowMenu& menu : set.flow.menus)
    setFiles.push_back(menu.strPath);
  for (const CoverCall& generated : writing.cover.calls) {
    const std::string strPath = (std::filesystem::path(strDir) / generated.strName).string();
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(strPath, error))) {
      writing.kept.push_back(strPath);
      continue;
    }
    if (!WriteCallRecord(strPath, generated.lines, setFiles, messages))
      return false;
    ++writing.nWritten;
  }
  return true;
}

std::string CoverCountText(const CoverWriting& writing) {
  const int nCalls = static_cast<int>(writing.cover.calls.size());
  std::string strText = std::string(text::kCoverWritten) + ' ' + CallCount(writing.nWritten);
  if (writing.nWritten != nCalls)
    strText += ' ' + std::string(text::kCoverOf) + ' ' + std::to_string(nCalls);
  return strText + " (" + std::string(text::kCoverBound) + ' ' +
         std::to_string(writing.cover.nLowerBound) + ": " + std::string(text::kCoverBoundWhy) + ")";
}

} // namespace dovetrel
