// The shortest routes through the call flow of random sets, against every route relaxed until
// none gets shorter.

#include "flow/FlowRoutes.h"
#include "scenario/ScenarioReader.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/RandomSets.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

/// The caller's events a move takes: its key, and the busy outcome after a dial.
int EventsOf(const FlowMove& move) {
  return move.bBusy ? 2 : 1;
}

/// The fewest events from \p nFrom to every menu, each move relaxed until nothing changes;
/// -1 for a menu no route enters. \p bAllows decides which moves may be taken.
std::vector<int> Relaxed(const MenuMoves& moves, std::size_t nFrom, bool (*bAllows)(char)) {
  std::vector<int> events(moves.size(), -1);
  events[nFrom] = 0;
  for (bool bChanged = true; bChanged;) {
    bChanged = false;
    for (const std::vector<FlowMove>& menu : moves)
      for (const FlowMove& move : menu) {
        const int nTo = move.Step().kind == ActionKind::Menu ? move.Step().nTargetMenu : -1;
        const int nAt = events[move.nMenu];
        if (nTo < 0 || nAt < 0 || !bAllows(move.key))
          continue;
        int& nKnown = events[static_cast<std::size_t>(nTo)];
        if (nKnown < 0 || nAt + EventsOf(move) < nKnown) {
          nKnown = nAt + EventsOf(move);
          bChanged = true;
        }
      }
  }
  return events;
}

bool AnyKey(char) {
  return true;
}

bool NoFax(char key) {
  return key != keyFax;
}

TEST(FlowRoutes, AreTheShortestAndLeadWhereTheySay) {
  test::CGenerator generator(20261209);
  int nRoutes = 0;
  for (int nSet = 0; nSet < 500 && !HasFailure(); ++nSet) {
    const test::RandomSet random = generator.Set();
    test::CMemoryFiles files;
    for (const auto& [strName, strContent] : random.files)
      files.Add("/s/" + strName, strContent);
    test::CCollectingMessages messages;
    CScenarioTable table;
    (void)LoadScenarioSet("/s/main.ivr", "/s/", table, ReadContext{messages, files});
    const CallFlow flow = BuildCallFlow(table);
    const MenuMoves moves = MovesOf(flow);
    for (std::size_t nFrom = 0; nFrom < moves.size(); ++nFrom)
      for (const auto bAllows : {AnyKey, NoFax}) {
        RouteRules rules;
        rules.allows = [bAllows](const FlowMove& move) { return bAllows(move.key); };
        const CFlowRoutes routes(moves, nFrom, rules);
        const std::vector<int> expected = Relaxed(moves, nFrom, bAllows);
        for (std::size_t nMenu = 0; nMenu < moves.size(); ++nMenu) {
          ASSERT_EQ(routes.Events(nMenu), expected[nMenu]) << nSet << ": " << nFrom << ">" << nMenu;
          std::size_t nAt = nFrom;
          int nEvents = 0;
          for (const FlowMove& move : routes.To(nMenu)) {
            ASSERT_EQ(move.nMenu, nAt);
            ASSERT_TRUE(bAllows(move.key));
            nAt = static_cast<std::size_t>(routes.Target(move));
            nEvents += EventsOf(move);
            ++nRoutes;
          }
          EXPECT_EQ(nEvents, std::max(expected[nMenu], 0));
          EXPECT_EQ(nAt, expected[nMenu] >= 0 ? nMenu : nFrom);
        }
        for (std::size_t i = 1; i < routes.Order().size(); ++i)
          EXPECT_LE(routes.Events(routes.Order()[i - 1]), routes.Events(routes.Order()[i]));
      }
  }
  EXPECT_GT(nRoutes, 500); // the sets have routes of more than one move
}

} // namespace
} // namespace dovetrel
