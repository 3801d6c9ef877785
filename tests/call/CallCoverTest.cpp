// Generated calls on random scenario sets: every record replays as dovetrel-call --expect replays
// it, and between them the records make every row act that the flow model says can act.

#include "call/CallCover.h"
#include "call/Call.h"
#include "call/CallRecord.h"
#include "call/CallSetup.h"
#include "scenario/Paths.h"
#include "tests/support/FlowWalker.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/RandomSets.h"
#include "text/Keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <iostream>
#include <set>
#include <sstream>

namespace dovetrel {
namespace {

class CQuietMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
};

class CLines final : public ICallTranscript {
public:
  void Step(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

std::string Row(const SourcePlace& place) {
  return place.strFile + ":" + std::to_string(place.nLine);
}

/// The rows that can act in the document of \p dialect: those of the menus a call reaches from
/// the main menu, walked straight over the flow; and the no-answer outcome of each of their dials
/// with a busy row, "FILE:LINE noanswer".
std::set<std::string> RowsThatCanAct(const CallFlow& flow, Dialect dialect) {
  const auto Target = [&](const FlowStep& step) {
    if (dialect == Dialect::W3c)
      return step.nTargetMenu;
    const auto it = std::find_if(flow.menus.begin(), flow.menus.end(), [&](const FlowMenu& m) {
      return ScenarioName(m.strName) == ScenarioName(step.strArgument);
    });
    return it == flow.menus.end() ? -1 : static_cast<int>(it - flow.menus.begin());
  };
  std::set<std::string> rows;
  std::vector<bool> reached(flow.menus.size(), false);
  std::deque<int> queue{0};
  reached[0] = true;
  const auto Act = [&](const FlowStep& step) {
    rows.insert(Row(step.source));
    const int nTo = step.kind == ActionKind::Menu ? Target(step) : -1;
    if (nTo >= 0 && !reached[static_cast<std::size_t>(nTo)]) {
      reached[static_cast<std::size_t>(nTo)] = true;
      queue.push_back(nTo);
    }
  };
  const auto ActWithBusy = [&](const FlowAction& action) {
    Act(action);
    if (action.kind != ActionKind::Dial || !action.busy)
      return;
    Act(*action.busy);
    rows.insert(Row(action.source) + " noanswer");
  };
  for (; !queue.empty(); queue.pop_front()) {
    const FlowMenu& menu = flow.menus[static_cast<std::size_t>(queue.front())];
    for (const KeyAction& key : menu.keys)
      if (dialect == Dialect::Classic || IsDtmfKey(key.key))
        ActWithBusy(key.action);
    if (menu.noInput)
      ActWithBusy(*menu.noInput);
  }
  return rows;
}

/// Replays \p call's record as dovetrel-call --expect does: the events its lines record, then the
/// whole transcript compared. Empty when it matches; otherwise what differs.
std::string Replay(const CCallProgram& program, const std::string& strEncoding,
                   const CoverCall& call) {
  CLines transcript;
  CCall run(program, transcript);
  if (!run.Start())
    return "start: " + run.Fault().strText;
  std::size_t nEvents = 0;
  for (const std::string& strLine : call.lines)
    if (const std::optional<CallEvent> event = EventOfLine(strLine, strEncoding)) {
      ++nEvents;
      if (run.Feed(*event) != FeedResult::Taken)
        return "not taken: " + strLine;
    }
  if (nEvents != call.events.size())
    return "the record holds " + std::to_string(nEvents) + " of the call's events";
  return transcript.lines == call.lines ? std::string() : "the transcript differs";
}

std::string Show(const test::RandomSet& set) {
  std::ostringstream text;
  for (const auto& [strName, strContent] : set.files)
    text << "== " << strName << "\n" << strContent;
  return text.str();
}

/// What the sets went through, so that a generator that stopped reaching something fails.
struct Tally {
  int nCovered = 0; ///< sets whose calls were generated in one dialect
  int nCalls = 0;
  int nRows = 0;
  int nBusy = 0;     ///< calls that take a busy outcome
  int nNoAnswer = 0; ///< calls that end unanswered after a dial with a busy row
  int nIdle = 0;     ///< rows listed as acting in no call
  int nAtBound = 0;  ///< covers with no more calls than the lower bound
};

void CheckCover(const test::RandomSet& random, Dialect dialect, Tally& tally) {
  test::CMemoryFiles files;
  for (const auto& [strName, strContent] : random.files)
    files.Add("/s/" + strName, strContent);
  CQuietMessages messages;
  ConversionOptions options;
  options.pFiles = &files;
  options.dialect = dialect;
  const std::optional<PreparedCall> prepared = PrepareCall("/s/main.ivr", messages, options);
  if (!prepared)
    return;
  const CallSet& set = prepared->set;
  const CallCover cover = CoverFlow(set.flow, *prepared->pProgram, dialect, set.strEncoding);
  const std::string strShown = Show(random) + "\n" + (dialect == Dialect::W3c ? "w3c" : "classic");
  ASSERT_EQ(cover.fault.strText, "") << strShown;
  std::set<std::string> acted;
  std::set<std::string> names;
  for (const CoverCall& call : cover.calls) {
    EXPECT_EQ(Replay(*prepared->pProgram, set.strEncoding, call), "") << strShown;
    EXPECT_TRUE(names.insert(call.strName).second) << call.strName << "\n" << strShown;
    const std::vector<std::string> rows =
        test::ActingRows(set.flow, set.menus, set.strEncoding, dialect, call.events);
    acted.insert(rows.begin(), rows.end());
    tally.nBusy += std::count(call.events.begin(), call.events.end(), "busy") > 0 ? 1 : 0;
    tally.nNoAnswer += std::any_of(rows.begin(), rows.end(), [](const std::string& strRow) {
      return strRow.ends_with(" noanswer");
    });
  }
  const std::set<std::string> expected = RowsThatCanAct(set.flow, dialect);
  EXPECT_EQ(acted, expected) << strShown;
  for (const IdleRow& row : cover.idle)
    EXPECT_EQ(acted.count(Row(row.source)), 0U) << Row(row.source) << "\n" << strShown;
  tally.nIdle += static_cast<int>(cover.idle.size());
  EXPECT_GE(static_cast<int>(cover.calls.size()), cover.nLowerBound) << strShown;
  ++tally.nCovered;
  tally.nCalls += static_cast<int>(cover.calls.size());
  tally.nRows += static_cast<int>(expected.size());
  tally.nAtBound += static_cast<int>(cover.calls.size()) == cover.nLowerBound ? 1 : 0;
}

TEST(CallCover, RecordsReplayAndMakeEveryRowActThatCan) {
  test::CGenerator generator(20261208);
  Tally tally;
  constexpr int kSets = 1000;
  for (int nSet = 0; nSet < kSets && !HasFailure(); ++nSet) {
    const test::RandomSet set = generator.Set();
    CheckCover(set, Dialect::Classic, tally);
    CheckCover(set, Dialect::W3c, tally);
  }
  EXPECT_GT(tally.nCovered, kSets);
  EXPECT_GT(tally.nRows, kSets * 4);
  EXPECT_GT(tally.nBusy, kSets / 10);
  EXPECT_GT(tally.nNoAnswer, kSets / 10);
  EXPECT_GT(tally.nIdle, kSets / 10);
  EXPECT_GT(tally.nAtBound, tally.nCovered * 3 / 4);
  std::cout << tally.nCovered << " covers, " << tally.nCalls << " calls, " << tally.nRows
            << " rows, " << tally.nIdle << " idle, " << tally.nAtBound << " at the lower bound\n";
}

// A record's name never leaves its folder nor hides: every key but an ASCII letter or digit is
// spelled out, words stay as they are.
TEST(RecordFileName, SpellsOutKeysThatAreNoLetterOrDigit) {
  EXPECT_EQ(RecordFileName("main", {"1", "*", "#", "busy", "/", ".", "\xD0\x96"}),
            "main-1-star-hash-busy-x2F-x2E-\xD0\x96.txt");
  EXPECT_EQ(RecordFileName("cover", {}), "cover.txt");
}

} // namespace
} // namespace dovetrel
