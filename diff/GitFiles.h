#pragma once

#include "scenario/TextFile.h"

#include <memory>
#include <string>
#include <vector>

namespace dovetrel {

/// What a run of git gave back.
struct GitRun {
  bool bRan = false;  ///< git started and exited with status 0
  std::string strOut; ///< its standard output
  std::string strWhy; ///< when it did not: its standard error, or why it could not start
};

/// Runs git with its arguments, never through a shell; tests put their own in its place.
class IGitRunner {
public:
  virtual ~IGitRunner() = default;
  virtual GitRun Run(const std::vector<std::string>& args) = 0;
};

/// git from the PATH, in the current directory.
IGitRunner& SystemGit();

/// The files of a set as they are at a revision, read through git from the repository of the
/// current directory: nothing is checked out. A path names the file the same path names in the
/// working tree; a file the revision does not hold as a file (missing, a folder) is refused with
/// git's own reason.
class CRevisionFiles final : public IInputFiles {
public:
  CRevisionFiles(std::string strRevision, IGitRunner& git)
      : m_strRevision(std::move(strRevision)), m_git(git) {}
  std::unique_ptr<IInputFile> Open(const std::string& strPath, std::string& strReason) override;

private:
  std::string m_strRevision;
  IGitRunner& m_git;
};

} // namespace dovetrel
