#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace dovetrel::test {

CTempDir::CTempDir(const std::string& strParent) {
  const char* szBase = std::getenv("TMPDIR");
  const std::string strBase = !strParent.empty()  ? strParent
                              : szBase && *szBase ? std::string(szBase)
                                                  : std::string("/tmp");
  std::string strTemplate = strBase + "/dovetrel-XXXXXX";
  if (!::mkdtemp(strTemplate.data()))
    throw std::runtime_error("cannot create a temporary directory");
  m_strPath = strTemplate + "/";
}

CTempDir::~CTempDir() {
  std::error_code error;
  std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(m_strPath, error);
}

std::string CTempDir::Write(const std::string& strName, std::string_view content) const {
  std::string strPath = m_strPath + strName;
  std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file)
    throw std::runtime_error("cannot write " + strPath);
  return strPath;
}

std::string CTempDir::Read(const std::string& strName) const {
  return ReadWholeFile(strName.front() == '/' ? strName : m_strPath + strName);
}

std::vector<std::string> CTempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string CTempDir::List() const {
  std::string strList;
  for (const std::string& strName : Names())
    strList += (strList.empty() ? "" : " ") + strName;
  return strList;
}

void CTempDir::Clean() const {
  for (const std::string& strName : Names())
    if (::unlink((m_strPath + strName).c_str()) != 0)
      throw std::runtime_error("cannot remove " + m_strPath + strName);
}

std::string MemoryBackedParent() {
  return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
}

std::string ReadWholeFile(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

int CountOpenDescriptors() {
  DIR* pDir = ::opendir("/proc/self/fd");
  if (!pDir)
    throw std::runtime_error("cannot list /proc/self/fd");
  int nCount = 0;
  while (::readdir(pDir))
    ++nCount;
  ::closedir(pDir);
  return nCount;
}

} // namespace dovetrel::test
