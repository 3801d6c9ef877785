#include "tests/vxml/WriterFixture.h"
#include "vxml/Texts.h"

namespace dovetrel::test {
namespace {

using Lines = std::vector<std::string>;

struct HandlerCase {
  const char* szName;
  std::vector<Row> rows; ///< key rows of the scenario m.ivr; a second scenario n.ivr follows
  std::vector<Row> nextRows;
  Lines field;  ///< what the field of m holds
  Lines filled; ///< what the filled element of m holds
};

void PrintTo(const HandlerCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Handlers : public WriterTest, public testing::WithParamInterface<HandlerCase> {};

TEST_P(Handlers, AreFoundWithinTheirScenario) {
  std::vector<Row> rows = Scenario("m.ivr", GetParam().rows);
  const std::vector<Row> next = Scenario("n.ivr", GetParam().nextRows);
  rows.insert(rows.end(), next.begin(), next.end());
  Table(rows);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Under("field name=Input_m"), GetParam().field);
  EXPECT_EQ(Under("filled name=Input_m"), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    NoInputAndBusy, Handlers,
    testing::Values(
        HandlerCase{"NoHandlerGivesAnEmptyField",
                    {{kindDial, '1', "5"}},
                    {},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5"}},
        HandlerCase{"OnlyTheFirstNoInputRowCounts",
                    {{kindMenu, '-', "x.ivr"}, {kindDisconnect, '-', ""}},
                    {},
                    {"noinput", "  goto next=#x"},
                    {}},
        HandlerCase{
            "NoInputRowOfTheNextScenarioIsNotUsed", {}, {{kindDisconnect, '-', ""}}, {}, {}},
        HandlerCase{"DiallingNoInputFindsABusyRowAboveIt",
                    {{kindMenu, 'b', "x.ivr"}, {kindDial, '-', "5"}},
                    {},
                    {"noinput", "  transfer name=Result dest=tel:5", "  if cond=Result=='busy'",
                     "    goto next=#x"},
                    {}},
        HandlerCase{"BusyRowAboveTheDialIsNotFound",
                    {{kindMenu, 'b', "x.ivr"}, {kindDial, '1', "5"}},
                    {},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5"}},
        HandlerCase{"EachDialGetsItsOwnCopy",
                    {{kindDial, '1', "5"}, {kindDial, '2', "6"}, {kindMenu, 'b', "x.ivr"}},
                    {},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5",
                     "  if cond=Result=='busy'", "    goto next=#x", "if cond=Input_m=='2'",
                     "  transfer name=Result dest=tel:6", "  if cond=Result=='busy'",
                     "    goto next=#x"}},
        HandlerCase{"EachDialUsesTheFirstBusyRowBelowIt",
                    {{kindDial, '1', "5"},
                     {kindMenu, 'b', "x.ivr"},
                     {kindDial, '2', "6"},
                     {kindDisconnect, 'b', ""}},
                    {},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5",
                     "  if cond=Result=='busy'", "    goto next=#x", "if cond=Input_m=='2'",
                     "  transfer name=Result dest=tel:6", "  if cond=Result=='busy'",
                     "    disconnect"}},
        HandlerCase{"BusyHandlerThatDialsEndsWithDisconnect",
                    {{kindDial, '1', "5"}, {kindDial, 'b', "7"}, {kindMenu, 'b', "x.ivr"}},
                    {},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5",
                     "  if cond=Result=='busy'", "    transfer name=Result dest=tel:7",
                     "    disconnect"}},
        HandlerCase{"BusyRowWithoutADialWritesNothing", {{kindMenu, 'b', "x.ivr"}}, {}, {}, {}},
        HandlerCase{"BusySearchStopsAtTheNextScenario",
                    {{kindDial, '1', "5"}},
                    {{kindMenu, 'b', "x.ivr"}},
                    {},
                    {"if cond=Input_m=='1'", "  transfer name=Result dest=tel:5"}},
        HandlerCase{"UnknownKeywordOnAnOrdinaryKeyIsIgnored",
                    {{kindUnknown, '1', "x"}, {kindDisconnect, '2', ""}},
                    {},
                    {},
                    {"if cond=Input_m=='2'", "  disconnect"}}),
    [](const auto& info) { return std::string(info.param.szName); });

struct KeyValueCase {
  char key;
  std::string cond;
};

class KeyValues : public WriterTest, public testing::WithParamInterface<KeyValueCase> {};

TEST_P(KeyValues, BecomeTheConditionValue) {
  Table(Scenario("m.ivr", {{kindDisconnect, GetParam().key, ""}}));
  ASSERT_TRUE(Write());
  EXPECT_EQ(Under("filled name=Input_m"),
            (Lines{"if cond=Input_m=='" + GetParam().cond + "'", "  disconnect"}));
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyValues,
                         testing::Values(KeyValueCase{'1', "1"}, KeyValueCase{'f', "fax"},
                                         KeyValueCase{'*', "*"}, KeyValueCase{'#', "#"},
                                         KeyValueCase{'\'', "\\'"}, KeyValueCase{'"', "\""},
                                         KeyValueCase{'\\', "\\\\"}, KeyValueCase{'<', "<"},
                                         KeyValueCase{'B', "B"}));

TEST_F(WriterTest, SpecialCharactersAreEscapedInTheAttribute) {
  Table(Scenario("m.ivr", {{kindDisconnect, '"', ""}, {kindDial, '&', "<1>"}}));
  ASSERT_TRUE(Write());
  EXPECT_NE(output.m_strDocument.find("cond=\"Input_m=='&quot;'\""), std::string::npos);
  EXPECT_NE(output.m_strDocument.find("cond=\"Input_m=='&amp;'\""), std::string::npos);
  EXPECT_NE(output.m_strDocument.find("dest=\"tel:&lt;1&gt;\""), std::string::npos);
}

struct NameCase {
  std::string text;
  std::string form;
};

class Names : public WriterTest, public testing::WithParamInterface<NameCase> {};

TEST_P(Names, AreCutAtTheFirstDot) {
  Table(Scenario(GetParam().text, {{kindMenu, '1', GetParam().text}}));
  ASSERT_TRUE(Write());
  const Lines elements = Elements();
  ASSERT_GE(elements.size(), 2u);
  EXPECT_EQ(elements[1], "  form id=" + GetParam().form);
  EXPECT_EQ(Under("if cond=" + std::string(table.Entry(3).text) + "=='1'"),
            (Lines{"goto next=#" + GetParam().form}));
}

INSTANTIATE_TEST_SUITE_P(Texts, Names,
                         testing::Values(NameCase{"main.ivr", "main"}, NameCase{"a.b.ivr", "a"},
                                         NameCase{"noext", "noext"}, NameCase{"..x.ivr", "x"},
                                         NameCase{"...", ""}));

TEST_F(WriterTest, DialTextIsTakenWholeAndEmptyTextsStay) {
  Table(Scenario("m.ivr", {{kindDial, '1', "123.45"}, {kindDial, '2', ""}, {kindMenu, '3', ""}}));
  ASSERT_TRUE(Write());
  EXPECT_EQ(Under("filled name=Input_m"),
            (Lines{"if cond=Input_m=='1'", "  transfer name=Result dest=tel:123.45",
                   "if cond=Input_m=='2'",
                   "  transfer name=Result dest=tel:", "if cond=Input_m=='3'", "  goto next=#"}));
}

TEST_F(WriterTest, EmptyScenarioStillClosesItsForm) {
  Table(Scenario("m.ivr"));
  ASSERT_TRUE(Write());
  EXPECT_EQ(Elements(),
            (Lines{"vxml", "  form id=m", "    block", "      property name=timeout value=10s",
                   "      audio src=a.wav", "      field name=Input_m", "      filled name=Input_m",
                   "      disconnect"}));
}

struct UnknownCase {
  const char* szName;
  std::vector<Row> rows;
  int nLine; ///< the row whose line the message names
};

void PrintTo(const UnknownCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class UnknownHandlers : public WriterTest, public testing::WithParamInterface<UnknownCase> {};

TEST_P(UnknownHandlers, FailTheConversion) {
  Table(Scenario("m.ivr", GetParam().rows));
  EXPECT_FALSE(Write());
  const auto message = messages.Expect(text::kCannotWriteElement);
  EXPECT_EQ(message.detail.strFile, "/s/m.ivr");
  EXPECT_EQ(message.detail.nLine, GetParam().nLine);
  EXPECT_EQ(output.m_strDocument, "previous document");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnknownHandlers,
    testing::Values(
        // The no-input handler is written with the field, but its own line is to blame.
        UnknownCase{"NoInput", {{kindDisconnect, '1', ""}, {kindUnknown, '-', ""}}, 6},
        UnknownCase{"Busy", {{kindDial, '1', "5"}, {kindUnknown, 'b', ""}}, 5}),
    [](const auto& info) { return std::string(info.param.szName); });

} // namespace
} // namespace dovetrel::test
