#pragma once

// Random scenario sets for the property tests of the call simulator and of generated calls.

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dovetrel::test {

/// A random scenario set: its files (the main file first) and whether it is in Windows-1251.
struct RandomSet {
  std::vector<std::pair<std::string, std::string>> files;
  bool b1251 = false;
};

/// Makes random sets and events from one seed.
class CGenerator {
public:
  explicit CGenerator(unsigned nSeed) : m_random(nSeed) {}

  RandomSet Set() {
    RandomSet set;
    set.b1251 = Chance(30);
    // Name parts that make field names; "sales.old.ivr" shares its form name with "sales.ivr".
    static const char* const kNames[] = {"sales.ivr", "support.ivr",   "tv.ivr",     "b2.ivr",
                                         "x_y.ivr",   "sales.old.ivr", "main.v2.ivr"};
    std::vector<std::string> names{"main.ivr"};
    for (int n = Below(4); n > 0; --n)
      names.emplace_back(kNames[Below(std::size(kNames))]);
    for (const std::string& strName : names)
      set.files.emplace_back(strName, File(names, set.b1251));
    return set;
  }

private:
  int Below(std::size_t n) { return static_cast<int>(m_random() % n); }
  bool Chance(int nPercent) { return Below(100) < nPercent; }

  char Key(bool b1251) {
    static constexpr std::string_view kKeys = "0123456789*#-bf123*#axz";
    if (Chance(2))
      return Chance(50) ? '\'' : '\\';
    if (b1251 && Chance(8))
      return '\xFF'; // 'я' in Windows-1251
    return kKeys[static_cast<std::size_t>(Below(kKeys.size()))];
  }

  static std::string Column(std::string strLine, std::size_t nColumn) {
    strLine.resize(std::max(strLine.size() + 1, nColumn), ' ');
    return strLine;
  }

  std::string File(const std::vector<std::string>& names, bool b1251) {
    std::string strFile = Column(std::to_string(1 + Below(30)), 5);
    // Greetings and numbers now and then hold what a URI must escape, or a backslash and a tab.
    static const char* const kOddTexts[] = {"50%.wav",  "a:b.wav", "x\\y.wav", "q\"r{1}.wav",
                                            "a\tb.wav", "1%2",     "12#34#5",  "8(495)^1"};
    if (b1251 && Chance(50))
      strFile += "\xEF\xF0\xE8\xE2\xE5\xF2.wav\n";
    else
      strFile += (Chance(15) ? kOddTexts[Below(std::size(kOddTexts))]
                             : "hello" + std::to_string(Below(9)) + ".wav") +
                 "\n";
    for (int nRows = Below(8); nRows > 0; --nRows) {
      // Busy and no-input rows more often than other keys, to give dials their busy rows.
      const char key = Chance(15) ? 'b' : Chance(8) ? '-' : Key(b1251);
      std::string strLine = Column(std::string(1, key), 5);
      const int nAction = Below(100);
      if (nAction < 45)
        strFile +=
            Column(strLine + "menu", 21) + names[static_cast<std::size_t>(Below(names.size()))];
      else if (nAction < 80)
        strFile +=
            Column(strLine + "dial", 21) + (Chance(10)   ? std::string()
                                            : Chance(10) ? kOddTexts[Below(std::size(kOddTexts))]
                                                         : "+7495" + std::to_string(Below(1000)));
      else if (nAction < 97)
        strFile += strLine + "disconnect";
      else
        strFile += Column(strLine + "Menu", 21) + "x.ivr";
      strFile += '\n';
    }
    return strFile;
  }

  std::mt19937 m_random;
};

} // namespace dovetrel::test
