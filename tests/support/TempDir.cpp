#include "tests/support/TempDir.h"

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace dovetrel::test {

CTempDir::CTempDir() {
  const char* szBase = std::getenv("TMPDIR");
  std::string strTemplate = std::string(szBase && *szBase ? szBase : "/tmp") + "/dovetrel-XXXXXX";
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

std::string CTempDir::List() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
    names.insert(entry.path().filename().string());
  std::string strList;
  for (const std::string& strName : names)
    strList += (strList.empty() ? "" : " ") + strName;
  return strList;
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
