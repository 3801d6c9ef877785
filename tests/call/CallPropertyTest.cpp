// The whole chain on random scenario sets: each set is converted in memory into both documents,
// each document is run by the simulator on random events, and both calls must be the call the
// flow model predicts, walked straight over the flow.

#include "call/CallSetup.h"
#include "scenario/Paths.h"
#include "tests/support/FlowWalker.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/RandomSets.h"
#include "text/Keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace dovetrel {
namespace {

using test::CallRun;
using test::CGenerator;
using test::RandomSet;

/// Keeps nothing: sets that do not convert are counted, not reported.
class CQuietMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
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
      if (!test::SharesFormNames(classic->flow) && !LeavesDtmf(events)) {
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
