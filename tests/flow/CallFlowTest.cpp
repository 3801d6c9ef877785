// The call flow of scenario sets, against flows worked out by hand from the rules of a call.

#include "flow/CallFlow.h"
#include "scenario/ScenarioReader.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::CMemoryFiles;

/// One step as "menu sales.ivr>1@2" (target menu index, then the row's line), "dial 5@3",
/// "hangup@4".
std::string Describe(const FlowStep& step) {
  switch (step.kind) {
  case ActionKind::Menu:
    return "menu " + step.strArgument + ">" + std::to_string(step.nTargetMenu) + "@" +
           std::to_string(step.source.nLine);
  case ActionKind::Dial:
    return "dial " + step.strArgument + "@" + std::to_string(step.source.nLine);
  case ActionKind::Hangup:
    break;
  }
  return "hangup@" + std::to_string(step.source.nLine);
}

std::string Describe(const FlowAction& action) {
  return Describe(static_cast<const FlowStep&>(action)) +
         (action.busy ? " busy " + Describe(*action.busy) : "");
}

/// Each menu as one line: "NAME TIMEOUT GREETING; KEY: STEP; -: STEP; inert LINE REASON(LINE)".
std::vector<std::string> Describe(const CallFlow& flow) {
  static const char* const kReasons[] = {"unknown", "taken", "second-no-input", "busy-unused"};
  std::vector<std::string> lines;
  for (const FlowMenu& menu : flow.menus) {
    std::string strLine = menu.strName + " " + menu.strTimeout + " " + menu.strGreeting;
    for (const KeyAction& key : menu.keys)
      strLine += "; " + std::string(1, key.key) + ": " + Describe(key.action);
    if (menu.noInput)
      strLine += "; -: " + Describe(*menu.noInput);
    for (const InertRow& row : menu.inert) {
      strLine += "; inert " + std::to_string(row.source.nLine) + " " +
                 kReasons[static_cast<int>(row.reason)];
      // Appended piece by piece: `"(" + std::string` makes GCC 12 warn falsely (-Wrestrict).
      if (row.nActingLine) {
        strLine += '(';
        strLine += std::to_string(row.nActingLine);
        strLine += ')';
      }
    }
    lines.push_back(strLine);
  }
  return lines;
}

struct FlowCase {
  const char* szName;
  std::vector<std::pair<std::string, std::string>> files; ///< the first is the main file
  std::vector<std::string> flow;
};

void PrintTo(const FlowCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Flows : public testing::TestWithParam<FlowCase> {};

TEST_P(Flows, FollowTheRulesOfACall) {
  CMemoryFiles files;
  for (const auto& [strName, strContent] : GetParam().files)
    files.Add("/s/" + strName, strContent);
  CCollectingMessages messages;
  CScenarioTable table;
  ASSERT_TRUE(LoadScenarioSet("/s/" + GetParam().files.front().first, "/s/", table,
                              ReadContext{messages, files}));
  const CallFlow flow = BuildCallFlow(table);
  EXPECT_EQ(Describe(flow), GetParam().flow);
  for (const FlowMenu& menu : flow.menus)
    EXPECT_EQ(menu.strPath, "/s/" + menu.strName);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, Flows,
    testing::Values(
        FlowCase{"WorkedExample",
                 {{"main.ivr", "10   welcome.wav\n1    menu            sales.ivr\n"
                               "2    dial            123\n0    disconnect\n"
                               "-    menu            main.ivr\n"},
                  {"sales.ivr", "15   sales.wav\n1    dial            123\n"
                                "b    menu            main.ivr\n-    disconnect\n"}},
                 {"main.ivr 10s welcome.wav; 1: menu sales.ivr>1@2; 2: dial 123@3; 0: hangup@4; "
                  "-: menu main.ivr>0@5",
                  "sales.ivr 15s sales.wav; 1: dial 123@2 busy menu main.ivr>0@3; -: hangup@4"}},
        FlowCase{"FirstRowWins",
                 {{"m.ivr", "5   a.wav\n1    dial            1\n1    disconnect\n"
                            "1    Dial            3\n-    disconnect\n-    dial            4\n"}},
                 {"m.ivr 5s a.wav; 1: dial 1@2; -: hangup@5; inert 3 taken(2); inert 4 unknown; "
                  "inert 6 second-no-input(5)"}},
        FlowCase{"BusyRowsAboveAndBelowTheDial",
                 {{"m.ivr", "5   a.wav\nb    disconnect\n1    dial            1\n"
                            "b    menu            m.ivr\nb    disconnect\n"}},
                 {"m.ivr 5s a.wav; 1: dial 1@3 busy menu m.ivr>0@4; inert 2 busy-unused; "
                  "inert 5 busy-unused"}},
        FlowCase{"NoInputDialTakesAnyBusyRow",
                 {{"m.ivr", "5   a.wav\nb    disconnect\n-    dial            7\n"}},
                 {"m.ivr 5s a.wav; -: dial 7@3 busy hangup@2"}},
        FlowCase{"ADialWithoutABusyRowAndTheFaxKey",
                 {{"m.ivr", "5   a.wav\nf    dial            9\n2    dial\n"}},
                 {"m.ivr 5s a.wav; f: dial 9@2; 2: dial @3"}},
        FlowCase{"AFileNamedByTwoMenusAndCycles",
                 {{"a.ivr", "5   a.wav\n1    menu            b.ivr\n2    menu            c.ivr\n"
                            "3    menu            a.ivr\n"},
                  {"b.ivr", "6   b.wav\n1    menu            c.ivr\n"},
                  {"c.ivr", "7   c.wav\n0    menu            a.ivr\n"}},
                 {"a.ivr 5s a.wav; 1: menu b.ivr>1@2; 2: menu c.ivr>2@3; 3: menu a.ivr>0@4",
                  "b.ivr 6s b.wav; 1: menu c.ivr>2@2", "c.ivr 7s c.wav; 0: menu a.ivr>0@2"}}));

TEST(FlowFindings, LeaveUnknownKeywordsToTheLineChecks) {
  CallFlow flow;
  flow.menus.push_back(FlowMenu{"m.ivr", "/s/m.ivr", "5s", "a.wav", {}, {}, {}, {}, {}, {}});
  flow.menus[0].inert = {{{"/s/m.ivr", 3}, '1', InertReason::KeyTaken, 2},
                         {{"/s/m.ivr", 4}, '2', InertReason::UnknownKeyword, 0},
                         {{"/s/m.ivr", 5}, 'b', InertReason::BusyServesNoDial, 0}};
  const std::vector<Finding> findings = FindInertRows(flow);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].nLine, 3);
  EXPECT_EQ(findings[0].strText, "клавиша «1» уже назначена в строке 2: эта строка не сработает");
  EXPECT_EQ(findings[1].nLine, 5);
}

} // namespace
} // namespace dovetrel
