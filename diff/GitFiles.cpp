#include "diff/GitFiles.h"

#include "diff/Texts.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration): POSIX leaves it undeclared

namespace dovetrel {

namespace {

/// A file's bytes, held by the file itself.
class COwnedFile final : public IInputFile {
public:
  explicit COwnedFile(std::string strBytes) : m_strBytes(std::move(strBytes)), m_view(m_strBytes) {}
  std::ptrdiff_t Read(char* pBuffer, std::size_t nSize) override {
    return m_view.Read(pBuffer, nSize);
  }

private:
  std::string m_strBytes;
  CMemoryInputFile m_view;
};

/// Both ends of a pipe, closed when it goes.
class CPipe {
public:
  CPipe() {
    if (pipe(m_ends.data()) != 0)
      m_ends = {-1, -1};
  }
  ~CPipe() {
    for (const int nEnd : m_ends)
      if (nEnd >= 0)
        close(nEnd);
  }
  CPipe(const CPipe&) = delete;
  CPipe& operator=(const CPipe&) = delete;
  bool Open() const { return m_ends[0] >= 0; }
  int ReadEnd() const { return m_ends[0]; }
  int WriteEnd() const { return m_ends[1]; }
  void CloseWriteEnd() {
    close(m_ends[1]);
    m_ends[1] = -1;
  }

private:
  std::array<int, 2> m_ends{};
};

/// Reads both pipes to their ends, whichever git writes first, so that neither fills up.
void Drain(CPipe& out, CPipe& err, std::string& strOut, std::string& strErr) {
  std::array<pollfd, 2> fds{pollfd{out.ReadEnd(), POLLIN, 0}, pollfd{err.ReadEnd(), POLLIN, 0}};
  std::array<std::string*, 2> targets{&strOut, &strErr};
  std::array<char, 65536> buffer{};
  int nOpen = 2;
  while (nOpen > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      const ssize_t nRead = read(fds[i].fd, buffer.data(), buffer.size());
      if (nRead < 0 && errno == EINTR)
        continue;
      if (nRead > 0) {
        targets[i]->append(buffer.data(), static_cast<std::size_t>(nRead));
        continue;
      }
      fds[i].fd = -1;
      --nOpen;
    }
  }
}

class CSystemGit final : public IGitRunner {
public:
  GitRun Run(const std::vector<std::string>& args) override {
    GitRun run;
    CPipe out;
    CPipe err;
    if (!out.Open() || !err.Open()) {
      run.strWhy = std::string(text::kGitNotRun) + std::strerror(errno);
      return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.WriteEnd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.WriteEnd(), STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>("git")};
    for (const std::string& strArg : args)
      argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);
    pid_t nPid = 0;
    const int nError = posix_spawnp(&nPid, "git", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nError != 0) {
      run.strWhy = std::string(text::kGitNotRun) + std::strerror(nError);
      return run;
    }
    out.CloseWriteEnd();
    err.CloseWriteEnd();
    Drain(out, err, run.strOut, run.strWhy);
    int nStatus = 0;
    while (waitpid(nPid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    run.bRan = WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
    return run;
  }
};

/// git's reason on one line, without its "fatal: ".
std::string Reason(std::string strWhy) {
  while (!strWhy.empty() && (strWhy.back() == '\n' || strWhy.back() == ' '))
    strWhy.pop_back();
  if (strWhy.rfind("fatal: ", 0) == 0)
    strWhy.erase(0, 7);
  for (char& c : strWhy)
    c = c == '\n' ? ' ' : c;
  return strWhy.empty() ? std::string(text::kGitNoAnswer) : strWhy;
}

} // namespace

IGitRunner& SystemGit() {
  static CSystemGit git;
  return git;
}

std::unique_ptr<IInputFile> CRevisionFiles::Open(const std::string& strPath,
                                                 std::string& strReason) {
  // "REV:./PATH" names the file relative to the current directory, as the working tree has it;
  // cat-file takes only a file, where show would print a folder's listing.
  std::error_code error;
  const std::filesystem::path path(strPath);
  const std::filesystem::path current = std::filesystem::current_path(error);
  const std::string strRelative =
      (path.is_absolute() && !error ? path.lexically_proximate(current) : path)
          .lexically_normal()
          .generic_string();
  GitRun run = m_git.Run({"cat-file", "blob", m_strRevision + ":./" + strRelative});
  if (!run.bRan) {
    strReason = Reason(std::move(run.strWhy));
    return nullptr;
  }
  return std::make_unique<COwnedFile>(std::move(run.strOut));
}

} // namespace dovetrel
