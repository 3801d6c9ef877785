#include "bench/BenchSets.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace dovetrel::bench {

CBenchSet::CBenchSet(const std::string& strParent) {
  const std::filesystem::path parent =
      strParent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(strParent);
  std::string strTemplate = parent / "dovetrel-bench-XXXXXX";
  if (!mkdtemp(strTemplate.data()))
    throw std::runtime_error("cannot create a directory for the benchmark");
  m_strDirectory = strTemplate + "/";
}

CBenchSet::CBenchSet(CBenchSet&& other) noexcept
    : m_strDirectory(std::move(other.m_strDirectory)), m_vecFiles(std::move(other.m_vecFiles)) {
  other.m_strDirectory.clear();
}

CBenchSet::~CBenchSet() {
  if (m_strDirectory.empty())
    return;
  std::error_code error;
  std::filesystem::remove_all(m_strDirectory, error);
}

void CBenchSet::Add(const std::string& strName, const std::string& strContent) {
  const std::string strPath = m_strDirectory + strName;
  std::ofstream file(strPath, std::ios::binary);
  file << strContent;
  if (!file)
    throw std::runtime_error("cannot write " + strPath);
  m_vecFiles.push_back(strPath);
}

CBenchSet CBenchSet::Largest(const std::string& strParent) {
  // Twenty distinct keys that are neither the dial's '0' nor the busy and fax keys.
  constexpr std::string_view kKeys = "123456789*#acdeghijk";
  constexpr int kMenus = static_cast<int>(kKeys.size());
  CBenchSet set(strParent);
  std::string strMain = "10   welcome.wav\n";
  for (int i = 1; i <= kMenus; ++i) {
    strMain += std::string(1, kKeys[static_cast<std::size_t>(i - 1)]) + "    menu            menu" +
               std::to_string(i) + ".ivr\n";
  }
  strMain += "0    dial            84951234567\n";
  strMain += "-    menu            main.ivr\n";
  set.Add("main.ivr", strMain);
  for (int i = 1; i <= kMenus; ++i)
    set.Add("menu" + std::to_string(i) + ".ivr", "5    menu" + std::to_string(i) + ".wav\n");
  return set;
}

CBenchSet CBenchSet::Worked(const std::string& strExamplesDir) {
  CBenchSet set;
  for (const char* szName : {"main.ivr", "sales.ivr"})
    set.Add(szName, ReadFile(strExamplesDir + "/worked/" + szName));
  return set;
}

std::string ReadFile(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

} // namespace dovetrel::bench
