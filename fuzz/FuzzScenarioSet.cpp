#include "fuzz/FuzzScenarioSet.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace dovetrel::fuzz {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Die(const std::string& strWhat) {
  std::fprintf(stderr, "fuzz harness: %s\n", strWhat.c_str());
  std::abort();
}

/// tmpfs when the machine has one: nothing the harness writes needs to reach a disk.
std::string TempBase() {
  if (::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  const char* szBase = std::getenv("TMPDIR");
  return szBase && *szBase ? szBase : "/tmp";
}

} // namespace

std::string TakeEncoding(std::string_view& input) {
  if (input.empty() || input.front() != kEncodingMark)
    return {};
  const std::size_t nEnd = input.find('\n');
  if (nEnd == std::string_view::npos || nEnd > kMaxEncodingName)
    return {};
  std::string strName(input.substr(1, nEnd - 1));
  input.remove_prefix(nEnd + 1);
  return strName;
}

std::vector<ScenarioFile> SplitInput(std::string_view input) {
  std::vector<ScenarioFile> files;
  for (;;) {
    const std::string strName = std::string(1, static_cast<char>('a' + files.size())) + ".ivr";
    const std::size_t nEnd =
        files.size() + 1 < kMaxFiles ? input.find(kFileSeparator) : std::string_view::npos;
    files.push_back(ScenarioFile{strName, input.substr(0, nEnd)});
    if (nEnd == std::string_view::npos)
      return files;
    input.remove_prefix(nEnd + kFileSeparator.size());
  }
}

CFuzzDirectory::CFuzzDirectory() {
  std::string strTemplate = TempBase() + "/dovetrel-fuzz-XXXXXX";
  if (!::mkdtemp(strTemplate.data()))
    Die("cannot create a directory: " + std::string(std::strerror(errno)));
  m_strPath = strTemplate + "/";
}

CFuzzDirectory::~CFuzzDirectory() {
  std::error_code error;
  fs::remove_all(m_strPath, error);
}

void CFuzzDirectory::Clean() const {
  for (const std::string& strName : List())
    if (::unlink((m_strPath + strName).c_str()) != 0)
      Die("cannot remove " + strName);
}

void CFuzzDirectory::Write(const std::string& strName, std::string_view content) const {
  std::ofstream file(m_strPath + strName, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file)
    Die("cannot write " + strName);
}

std::string CFuzzDirectory::Read(const std::string& strName) const {
  std::ifstream file(m_strPath + strName, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::string> CFuzzDirectory::List() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(m_strPath))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_ptr<IInputFile> CConfinedFiles::Open(const std::string& strPath,
                                                 std::string& strReason) {
  const std::string strNormal = fs::path(strPath).lexically_normal().string();
  if (strNormal.compare(0, m_strDirectory.size(), m_strDirectory) != 0) {
    strReason = std::strerror(ENOENT);
    return nullptr;
  }
  return SystemInputFiles().Open(strPath, strReason);
}

int CountOpenDescriptors() {
  DIR* pDir = ::opendir("/proc/self/fd");
  if (!pDir)
    Die("cannot list /proc/self/fd");
  int nCount = 0;
  while (::readdir(pDir))
    ++nCount;
  ::closedir(pDir);
  return nCount;
}

} // namespace dovetrel::fuzz
