#include "scenario/ScenarioTable.h"
#include "scenario/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

using test::CCollectingMessages;
using test::Row;
using test::RowsOf;

class ScenarioTable : public testing::Test {
protected:
  ScenarioTable() { table.ClearEntries(); }

  bool Add(std::string_view text, EntryKind kind = kindDial, char key = '1') {
    return table.AddEntry(text, kind, key, messages, Finding{.strFile = "/s/main.ivr", .nLine = 7});
  }
  void Fill() {
    for (int i = 0; i < kTableCapacity; ++i)
      ASSERT_TRUE(Add("x"));
  }

  CCollectingMessages messages;
  CScenarioTable table;
};

TEST_F(ScenarioTable, StoresKeyKindAndACopyOfTheText) {
  std::string strText = "sales.ivr";
  ASSERT_TRUE(Add(strText, kindMenu, '5'));
  strText[0] = 'X';
  EXPECT_EQ(RowsOf(table), (std::vector<Row>{{kindMenu, '5', "sales.ivr"}}));
  EXPECT_EQ(table.Entry(0).line, 7);
}

TEST_F(ScenarioTable, MissingWordIsAnEmptyText) {
  // A key line without an argument hands over a view with no data pointer; the sanitizer build
  // checks that nothing reads through it. The row held a longer text before.
  ASSERT_TRUE(Add(std::string(63, 'z')));
  table.ClearEntries();
  ASSERT_TRUE(Add(std::string_view(), kindDisconnect, '0'));
  EXPECT_EQ(RowsOf(table), (std::vector<Row>{{kindDisconnect, '0', ""}}));
}

TEST_F(ScenarioTable, HoldsExactly128Rows) {
  Fill();
  EXPECT_FALSE(Add("y"));
  const auto message = messages.Expect(text::kTableFull);
  EXPECT_EQ(message.detail.strFile, "/s/main.ivr");
  EXPECT_EQ(message.detail.nLine, 7);
  EXPECT_EQ(table.Count(), kTableCapacity);
  EXPECT_EQ(table.Capacity(), kTableCapacity);
}

TEST_F(ScenarioTable, Stores63BytesButRefuses64) {
  EXPECT_TRUE(Add(std::string(63, 'a')));
  EXPECT_EQ(std::string(table.Entry(0).text), std::string(63, 'a'));
  EXPECT_FALSE(Add(std::string(64, 'b')));
  messages.Expect(text::kTextTooLong);
  EXPECT_FALSE(Add(std::string(10000, 'c')));
  messages.Expect(text::kTextTooLong);
  EXPECT_EQ(table.Count(), 1);
}

TEST_F(ScenarioTable, LengthCountsAsWindows1251WhereItCanWriteTheText) {
  const auto Repeated = [](std::string_view piece, int nTimes) {
    std::string strText;
    for (int i = 0; i < nTimes; ++i)
      strText += piece;
    return strText;
  };
  // "№" is a byte in Windows-1251 and three in UTF-8: the row keeps all of them.
  EXPECT_TRUE(Add(Repeated("\xE2\x84\x96", 62) + "a"));
  EXPECT_EQ(std::string(table.Entry(0).text), Repeated("\xE2\x84\x96", 62) + "a");
  EXPECT_FALSE(Add(Repeated("\xE2\x84\x96", 64)));
  messages.Expect(text::kTextTooLong);
  // A character Windows-1251 has no byte for: the text counts its bytes.
  EXPECT_TRUE(Add(Repeated("\xE4\xB8\xAD", 21)));
  EXPECT_FALSE(Add(Repeated("\xE4\xB8\xAD", 21) + "a"));
  messages.Expect(text::kTextTooLong);
  EXPECT_EQ(table.Count(), 2);
}

TEST_F(ScenarioTable, FullTableIsReportedBeforeALongText) {
  Fill();
  EXPECT_FALSE(Add(std::string(64, 'z')));
  messages.Expect(text::kTableFull);
  EXPECT_EQ(table.Count(), kTableCapacity);
}

TEST_F(ScenarioTable, ClearingEmptiesEveryRow) {
  Fill();
  table.ClearEntries();
  EXPECT_EQ(table.Count(), 0);
  for (int i = 0; i < kTableCapacity; ++i) {
    EXPECT_EQ(table.Entry(i).key, '\0');
    EXPECT_EQ(table.Entry(i).kind, kindUnknown);
    EXPECT_STREQ(table.Entry(i).text, "");
  }
}

struct UnresolvedCase {
  const char* szName;
  std::vector<Row> rows;
  int nExpected; ///< index of the row found, -1 for none
};

void PrintTo(const UnresolvedCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class FindUnresolvedMenu : public testing::TestWithParam<UnresolvedCase> {};

TEST_P(FindUnresolvedMenu, FindsTheFirstMenuNoScenarioFileAnswers) {
  CCollectingMessages messages;
  CScenarioTable table;
  table.ClearEntries();
  for (const Row& row : GetParam().rows)
    ASSERT_TRUE(table.AddEntry(row.text, row.kind, row.key, messages, {}));
  const ScenarioEntry* pFound = table.FindUnresolvedMenu();
  const int nFound = pFound ? static_cast<int>(pFound - table.Entries().data()) : -1;
  EXPECT_EQ(nFound, GetParam().nExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Menus, FindUnresolvedMenu,
    testing::Values(
        UnresolvedCase{"EmptyTable", {}, -1},
        UnresolvedCase{"NoMenus", {{kindScenarioFile, 0, "main.ivr"}, {kindDial, '1', "1"}}, -1},
        UnresolvedCase{"ExactNameResolves",
                       {{kindScenarioFile, 0, "main.ivr"},
                        {kindMenu, '1', "sub.ivr"},
                        {kindScenarioFile, 0, "sub.ivr"}},
                       -1},
        UnresolvedCase{"LetterCaseMatters",
                       {{kindScenarioFile, 0, "Sub.ivr"},
                        {kindMenu, '1', "sub.ivr"},
                        {kindScenarioFile, 0, "SUB.IVR"}},
                       1},
        UnresolvedCase{"OwnFileResolves",
                       {{kindScenarioFile, 0, "main.ivr"}, {kindMenu, '-', "main.ivr"}},
                       -1},
        UnresolvedCase{
            "LowerIndexFirst",
            {{kindScenarioFile, 0, "main.ivr"}, {kindMenu, '1', "b.ivr"}, {kindMenu, '2', "a.ivr"}},
            1},
        UnresolvedCase{
            "EmptyTextNeverResolves", {{kindScenarioFile, 0, "main.ivr"}, {kindMenu, '1', ""}}, 1},
        // Only scenario-file rows answer a menu, not other rows carrying the same text.
        UnresolvedCase{
            "OtherKindsDoNotAnswer",
            {{kindScenarioFile, 0, "main.ivr"}, {kindDial, '2', "x.ivr"}, {kindMenu, '1', "x.ivr"}},
            2}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
} // namespace dovetrel
