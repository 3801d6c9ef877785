// The whole chain on random scenario sets: each set is converted in memory into both documents,
// each document is run by the simulator on random events, and both calls must be the call the
// flow model predicts, walked straight over the flow.

#include "call/CallSetup.h"
#include "scenario/Paths.h"
#include "tests/support/FlowWalker.h"
#include "tests/support/MemoryFiles.h"
#include "text/Keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

namespace dovetrel {
namespace {

using test::CallRun;

/// Keeps nothing: sets that do not convert are counted, not reported.
class CQuietMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
};

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

std::string Show(const RandomSet& set, const std::vector<std::string>& events) {
  std::ostringstream text;
  for (const auto& [strName, strContent] : set.files)
    text << "== " << strName << "\n" << strContent;
  text << "== events:";
  for (const std::string& strEvent : events)
    text << " " << strEvent;
  return text.str();
}

/// Counts of what the runs went through, so that a generator that stopped reaching something
/// fails the test instead of passing emptily.
struct Coverage {
  int nConverted = 0;
  int nCalls = 0;
  int nBusyRows = 0; ///< busy lines followed by a menu or a dial: a busy row acted
  int nRejected = 0;
  int nHangups = 0;
  int nQuoteKeys = 0; ///< a quote or a backslash key answered by its row in a classic document
  int nSameCalls = 0; ///< calls compared between the two documents
};

/// True when two files of \p flow give one form name, which the classic document cannot tell
/// apart; its calls then follow the first of them.
bool SharesFormNames(const CallFlow& flow) {
  for (std::size_t i = 0; i < flow.menus.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (ScenarioName(flow.menus[i].strName) == ScenarioName(flow.menus[j].strName))
        return true;
  return false;
}

/// True when \p events hold a fax or a key a telephone cannot send.
bool LeavesDtmf(const std::vector<std::string>& events) {
  return std::any_of(events.begin(), events.end(), [](const std::string& strEvent) {
    return strEvent == "fax" || (strEvent.size() == 1 && !IsDtmfKey(strEvent[0]));
  });
}

/// Runs \p events on the document of \p set in \p dialect and checks the call against the model.
CallRun CheckCall(const CallSet& set, Dialect dialect, const std::vector<std::string>& events,
                  const std::string& strShown, Coverage& coverage) {
  const test::CheckedCall checked = test::CheckCallAgainstFlow(set, dialect, events);
  EXPECT_EQ(checked.strMismatch, "") << strShown << "\n" << set.strDocument;
  const CallRun& run = checked.run;
  ++coverage.nCalls;
  coverage.nRejected += run.nRejected >= 0 ? 1 : 0;
  coverage.nHangups += !run.lines.empty() && run.lines.back() == "hangup" ? 1 : 0;
  for (std::size_t i = 1; i < run.lines.size(); ++i) {
    coverage.nBusyRows += run.lines[i - 1] == "busy" && run.lines[i] != "hangup" ? 1 : 0;
    const bool bQuoteKey = run.lines[i - 1] == "press '" || run.lines[i - 1] == "press \\\\";
    coverage.nQuoteKeys += bQuoteKey && run.lines[i] != "hangup" ? 1 : 0;
  }
  return run;
}

TEST(CallProperty, BothDocumentsRunTheCallTheFlowPredicts) {
  CGenerator generator(20261207);
  test::CEventChooser chooser(1207);
  Coverage coverage;
  constexpr int kSets = 400;
  for (int nSet = 0; nSet < kSets && !HasFailure(); ++nSet) {
    const RandomSet set = generator.Set();
    test::CMemoryFiles files;
    for (const auto& [strName, strContent] : set.files)
      files.Add("/s/" + strName, strContent);
    CQuietMessages messages;
    ConversionOptions options;
    options.pFiles = &files;
    const std::optional<CallSet> classic = ConvertForCall("/s/main.ivr", messages, options);
    options.dialect = Dialect::W3c;
    const std::optional<CallSet> standard = ConvertForCall("/s/main.ivr", messages, options);
    ASSERT_EQ(classic.has_value(), standard.has_value()) << Show(set, {});
    if (!classic)
      continue;
    ++coverage.nConverted;
    for (int nCall = 0; nCall < 4; ++nCall) {
      const std::vector<std::string> events = chooser.Events(*classic);
      const std::string strShown = Show(set, events);
      const CallRun runClassic = CheckCall(*classic, Dialect::Classic, events, strShown, coverage);
      const CallRun runStandard = CheckCall(*standard, Dialect::W3c, events, strShown, coverage);
      // Where the standard document carries all of it, both documents make one call.
      if (!SharesFormNames(classic->flow) && !LeavesDtmf(events)) {
        EXPECT_EQ(runClassic, runStandard) << strShown;
        ++coverage.nSameCalls;
      }
    }
  }
  EXPECT_GT(coverage.nConverted, kSets * 6 / 10);
  EXPECT_GT(coverage.nSameCalls, 400);
  EXPECT_GT(coverage.nBusyRows, 20);
  EXPECT_GT(coverage.nRejected, 100);
  EXPECT_GT(coverage.nHangups, 300);
  EXPECT_GT(coverage.nQuoteKeys, 5);
}

} // namespace
} // namespace dovetrel
