#include "bench/BenchSets.h"

#include <string_view>

namespace dovetrel::bench {

CBenchSet::CBenchSet(const std::string& strParent)
    : m_pDir(std::make_unique<test::CTempDir>(strParent)) {}

void CBenchSet::Add(const std::string& strName, const std::string& strContent) {
  m_vecFiles.push_back(m_pDir->Write(strName, strContent));
}

CBenchSet CBenchSet::Largest(const std::string& strParent) {
  // Twenty distinct keys that are neither the dial's '0' nor the busy and fax keys.
  constexpr std::string_view kKeys = "123456789*#acdeghijk";
  constexpr int kMenus = static_cast<int>(kKeys.size());
  CBenchSet set(strParent);
  std::string strMain = "10   welcome.wav\n";
  for (int i = 1; i <= kMenus; ++i)
    strMain += std::string(1, kKeys[static_cast<std::size_t>(i - 1)]) + "    menu            menu" +
               std::to_string(i) + ".ivr\n";
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
    set.Add(szName, test::ReadWholeFile(strExamplesDir + "/worked/" + szName));
  return set;
}

} // namespace dovetrel::bench
