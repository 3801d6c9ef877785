#include "vxml/XmlOutput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace dovetrel {

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kTempAttempts = 100;

std::string DirectoryOf(const std::string& strPath) {
  const std::size_t nSlash = strPath.rfind('/');
  if (nSlash == std::string::npos)
    return {};
  return strPath.substr(0, nSlash + 1);
}

/// The file a write to \p strPath ends up in: \p strPath, or the destination of the chain of
/// symbolic links it names (which need not exist yet). Empty, with errno set, for a loop.
std::string FinalDestination(std::string strPath) {
  for (int nHop = 0; nHop < kMaxLinkHops; ++nHop) {
    struct stat info {};
    if (::lstat(strPath.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
      return strPath;
    std::string strLink(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t nLink = ::readlink(strPath.c_str(), strLink.data(), strLink.size());
    if (nLink < 0 || static_cast<std::size_t>(nLink) >= strLink.size())
      return strPath;
    strLink.resize(static_cast<std::size_t>(nLink));
    if (strLink.front() != '/')
      strLink.insert(0, DirectoryOf(strPath));
    strPath = std::move(strLink);
  }
  errno = ELOOP;
  return {};
}

class CReplacingFile final : public IOutputStream {
public:
  CReplacingFile(int nDescriptor, std::string strTemp, std::string strTarget,
                 const struct stat* pOld, FileSystemCalls calls)
      : m_nDescriptor(nDescriptor), m_strTemp(std::move(strTemp)),
        m_strTarget(std::move(strTarget)), m_calls(std::move(calls)) {
    if (pOld) {
      m_bKeepOwner = true;
      m_old = *pOld;
    }
  }
  ~CReplacingFile() override {
    if (m_nDescriptor >= 0)
      m_calls.close(m_nDescriptor);
    if (!m_bCommitted)
      ::unlink(m_strTemp.c_str());
  }
  CReplacingFile(const CReplacingFile&) = delete;
  CReplacingFile& operator=(const CReplacingFile&) = delete;

  bool Write(const char* pData, std::size_t nSize) override {
    while (nSize > 0 && m_nDescriptor >= 0) {
      const ssize_t nWritten = m_calls.write(m_nDescriptor, pData, nSize);
      if (nWritten < 0 && errno == EINTR)
        continue;
      if (nWritten <= 0)
        return Fail(nWritten < 0 ? errno : ENOSPC);
      pData += nWritten;
      nSize -= static_cast<std::size_t>(nWritten);
    }
    return nSize == 0;
  }

  bool Commit() override {
    if (m_nDescriptor < 0 || m_bCommitted)
      return false;
    if (m_bKeepOwner) {
      ::fchmod(m_nDescriptor, m_old.st_mode & 07777);
      if (m_old.st_uid != ::geteuid() || m_old.st_gid != ::getegid()) {
        // Best effort, as for the mode: only a privileged writer can give the owner back. glibc
        // marks fchown warn_unused_result, which a cast to void does not silence.
        [[maybe_unused]] const int nChown = ::fchown(m_nDescriptor, m_old.st_uid, m_old.st_gid);
      }
    }
    const int nDescriptor = m_nDescriptor;
    m_nDescriptor = -1;
    // A file system that cannot synchronise a regular file says EINVAL: nothing more can be done.
    if (m_calls.fsync(nDescriptor) != 0 && errno != EINVAL) {
      const int nError = errno;
      m_calls.close(nDescriptor);
      return Fail(nError);
    }
    if (m_calls.close(nDescriptor) != 0)
      return Fail(errno);
    if (m_calls.rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
      return Fail(errno);
    m_bCommitted = true;
    return true;
  }

  std::string Reason() const override { return m_nError ? std::strerror(m_nError) : ""; }

private:
  bool Fail(int nError) {
    m_nError = nError;
    return false;
  }

  int m_nDescriptor;
  std::string m_strTemp;
  std::string m_strTarget;
  struct stat m_old {};
  FileSystemCalls m_calls;
  bool m_bKeepOwner = false;
  bool m_bCommitted = false;
  int m_nError = 0;
};

/// Creates a new, empty file with a name of its own in \p strDirectory; -1 with errno on failure.
int CreateTempFile(const std::string& strDirectory, std::string& strTemp,
                   const FileSystemCalls& calls) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::mt19937 random(device());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int nAttempt = 0; nAttempt < kTempAttempts; ++nAttempt) {
    strTemp = strDirectory + ".dovetrel-";
    for (int i = 0; i < 8; ++i)
      strTemp += kLetters[pick(random)];
    strTemp += ".tmp";
    const int nDescriptor =
        calls.open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (nDescriptor >= 0 || errno != EEXIST)
      return nDescriptor;
  }
  return -1;
}

} // namespace

FileSystemCalls SystemFileCalls() {
  FileSystemCalls calls;
  calls.open = [](const char* szPath, int nFlags, mode_t nMode) {
    return ::open(szPath, nFlags, nMode);
  };
  calls.write = ::write;
  calls.fsync = ::fsync;
  calls.close = ::close;
  calls.rename = ::rename;
  return calls;
}

std::unique_ptr<IOutputStream> CreateReplacingFile(const std::string& strPath,
                                                   std::string& strReason) {
  return CreateReplacingFile(strPath, strReason, SystemFileCalls());
}

std::unique_ptr<IOutputStream> CreateReplacingFile(const std::string& strPath,
                                                   std::string& strReason,
                                                   const FileSystemCalls& calls) {
  if (strPath.empty()) {
    strReason = std::strerror(ENOENT);
    return nullptr;
  }
  const std::string strTarget = FinalDestination(strPath);
  if (strTarget.empty()) {
    strReason = std::strerror(ELOOP);
    return nullptr;
  }
  struct stat old {};
  const bool bExists = ::stat(strTarget.c_str(), &old) == 0;
  int nRefusal = 0;
  if (strTarget.back() == '/' || (bExists && S_ISDIR(old.st_mode)))
    nRefusal = EISDIR;
  else if (bExists && !S_ISREG(old.st_mode))
    nRefusal = EINVAL;
  else if (bExists && ::faccessat(AT_FDCWD, strTarget.c_str(), W_OK, AT_EACCESS) != 0)
    nRefusal = errno;
  if (nRefusal != 0) {
    strReason = std::strerror(nRefusal);
    return nullptr;
  }
  std::string strTemp;
  const std::string strFolder = DirectoryOf(strTarget);
  const int nDescriptor = CreateTempFile(strFolder, strTemp, calls);
  if (nDescriptor < 0) {
    // The document is made beside its target: the folder is what refused it.
    strReason = "папка «" + (strFolder.empty() ? std::string(".") : strFolder) +
                "» не принимает новый файл: " + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<CReplacingFile>(nDescriptor, strTemp, strTarget, bExists ? &old : nullptr,
                                          calls);
}

} // namespace dovetrel
