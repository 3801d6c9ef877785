// How long the language server takes to start and answer initialize, as an editor sees it: from
// the moment the process is spawned to the moment the whole answer has been read from its output.
// Prints the median of the starts and exits 1 when it is over the budget.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kBudgetMs = 50;
constexpr std::string_view kInitialize = R"({"jsonrpc":"2.0","id":1,"method":"initialize",)"
                                         R"("params":{"processId":null,"rootUri":null,)"
                                         R"("capabilities":{}}})";

/// Writes all of \p text to \p fd; false when the pipe broke.
bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t nWritten = write(fd, text.data(), text.size());
    if (nWritten < 0 && errno == EINTR)
      continue;
    if (nWritten <= 0)
      return false;
    text.remove_prefix(static_cast<std::size_t>(nWritten));
  }
  return true;
}

std::string Frame(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

/// Reads one whole frame from \p fd; its body, or empty when the output ended before it.
std::string ReadFrame(int fd) {
  std::string strRead;
  char buffer[4096];
  for (;;) {
    const std::size_t nHeaderEnd = strRead.find("\r\n\r\n");
    const std::size_t nLength = strRead.find("Content-Length: ");
    if (nHeaderEnd != std::string::npos && nLength < nHeaderEnd) {
      const std::size_t nBody = std::strtoul(strRead.c_str() + nLength + 16, nullptr, 10);
      if (strRead.size() >= nHeaderEnd + 4 + nBody)
        return strRead.substr(nHeaderEnd + 4, nBody);
    }
    const ssize_t nRead = read(fd, buffer, sizeof buffer);
    if (nRead < 0 && errno == EINTR)
      continue;
    if (nRead <= 0)
      return {};
    strRead.append(buffer, static_cast<std::size_t>(nRead));
  }
}

/// Milliseconds from the spawn of \p szServer to its answer to initialize; negative when it did
/// not answer with its capabilities or did not then stop cleanly.
double TimeStart(const char* szServer) {
  int toServer[2];
  int fromServer[2];
  if (pipe2(toServer, O_CLOEXEC) != 0 || pipe2(fromServer, O_CLOEXEC) != 0)
    return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toServer[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromServer[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(szServer), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int nError = posix_spawn(&pid, szServer, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toServer[0]);
  close(fromServer[1]);
  std::string strAnswer;
  if (nError == 0 && WriteAll(toServer[1], Frame(kInitialize)))
    strAnswer = ReadFrame(fromServer[0]);
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  WriteAll(toServer[1], Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                            Frame(R"({"jsonrpc":"2.0","method":"exit"})"));
  close(toServer[1]);
  close(fromServer[0]);
  int nStatus = 0;
  const bool bStopped = nError == 0 && waitpid(pid, &nStatus, 0) == pid && WIFEXITED(nStatus) &&
                        WEXITSTATUS(nStatus) == 0;
  const bool bAnswered = strAnswer.find(R"("capabilities")") != std::string::npos;
  return bAnswered && bStopped ? elapsed.count() : -1;
}

} // namespace

/// Usage: dovetrel_lsp_ready SERVER [STARTS]. Starts SERVER STARTS times (20 unless given), one
/// after the other, and prints the median time to its answer to initialize.
int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: dovetrel_lsp_ready SERVER [STARTS]\n");
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN); // a server that died is reported, not a reason to die
  const int nStarts = argc == 3 ? std::max(1, std::atoi(argv[2])) : 20;
  std::vector<double> times;
  for (int i = 0; i < nStarts; ++i) {
    times.push_back(TimeStart(argv[1]));
    if (times.back() < 0) {
      std::fprintf(stderr, "%s did not answer initialize and stop cleanly\n", argv[1]);
      return 1;
    }
  }
  std::sort(times.begin(), times.end());
  const double dMedian = times[times.size() / 2];
  std::printf("initialize answered after %.1f ms (median of %d starts, budget %.0f ms) %s\n",
              dMedian, nStarts, kBudgetMs, dMedian <= kBudgetMs ? "ok" : "OVER");
  return dMedian <= kBudgetMs ? 0 : 1;
}
