// The interpreter on documents written by hand: what it refuses, naming the element, and how it
// runs the shapes the two writers use.

#include "call/CallProgram.h"
#include "tests/support/FlowWalker.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

const std::string kClassic = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<vxml>\n";
const std::string kW3c = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<vxml version=\"2.1\" xmlns=\"http://www.w3.org/2001/vxml\">\n";

/// A classic menu form "m" from line 3 of the document: the property on line 4, the audio on 5,
/// the field holding \p field on 6, and the conditions \p filled from line 7.
std::string ClassicMenu(const std::string& field, const std::string& filled,
                        const std::string& id = "m") {
  return "<form id=\"" + id + "\"><block>\n<property name=\"timeout\" value=\"5s\"/>\n" +
         "<audio src=\"hi.wav\"/>\n<field name=\"Input_m\">" + field + "</field>\n" +
         "<filled name=\"Input_m\">" + filled + "</filled>\n<disconnect/></block></form>\n";
}

/// A standard menu form "m" whose grammar holds \p items, with handlers \p handlers.
std::string W3cMenu(const std::string& items, const std::string& handlers) {
  return "<form id=\"m\"><property name=\"timeout\" value=\"5s\"/>\n<field name=\"choice\">\n"
         "<prompt><audio src=\"hi.wav\"/></prompt>\n<grammar mode=\"dtmf\" version=\"1.0\" "
         "root=\"k\"><rule id=\"k\" scope=\"public\">" +
         items + "</rule></grammar>\n" + handlers + "</field></form>\n";
}

struct FaultCase {
  const char* szName;
  Dialect dialect;
  std::string document;
  FindingCode code; ///< what kind of fault
  int nLine;
};

void PrintTo(const FaultCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, NameTheElementAndItsLine) {
  CallFault fault;
  EXPECT_EQ(CCallProgram::Compile(GetParam().document, GetParam().dialect, {"m.ivr"}, fault),
            nullptr);
  EXPECT_EQ(fault.code, GetParam().code) << fault.strText;
  EXPECT_EQ(fault.nLine, GetParam().nLine) << fault.strText;
}

const std::string kOk = "<if cond=\"Input_m=='1'\"><disconnect/></if>";

INSTANTIATE_TEST_SUITE_P(
    Documents, Faults,
    testing::Values(
        FaultCase{"NotXml", Dialect::Classic, kClassic + "<form>", FindingCode::CallNotXml, 3},
        FaultCase{"RootNotVxml", Dialect::Classic, "<form id=\"m\"/>",
                  FindingCode::CallBadStructure, 1},
        FaultCase{"ClassicRootWithVersion", Dialect::Classic, kW3c + "</vxml>",
                  FindingCode::CallBadStructure, 2},
        FaultCase{"StandardRootWithoutNamespace", Dialect::W3c, kClassic + "</vxml>",
                  FindingCode::CallBadStructure, 2},
        FaultCase{"UnknownElement", Dialect::Classic,
                  kClassic + ClassicMenu("", "\n<log expr=\"1\"/>") + "</vxml>",
                  FindingCode::CallBadStructure, 8},
        FaultCase{"UnknownAttribute", Dialect::Classic,
                  kClassic + ClassicMenu("<noinput count=\"2\"/>", kOk) + "</vxml>",
                  FindingCode::CallBadStructure, 6},
        FaultCase{"MissingAttribute", Dialect::Classic,
                  kClassic + ClassicMenu("<noinput><goto/></noinput>", kOk) + "</vxml>",
                  FindingCode::CallBadStructure, 6},
        FaultCase{"PropertyOtherThanTimeout", Dialect::Classic,
                  kClassic + "<form id=\"m\"><block>\n<property name=\"bargein\" value=\"1\"/>" +
                      "</block></form></vxml>",
                  FindingCode::CallBadValue, 4},
        FaultCase{"Text", Dialect::Classic,
                  kClassic + ClassicMenu("", "\nsay hello" + kOk) + "</vxml>",
                  FindingCode::CallBadStructure, 8},
        FaultCase{"ConditionNotAComparison", Dialect::Classic,
                  kClassic + ClassicMenu("", "\n<if cond=\"Input_m=='1' || true\"/>") + "</vxml>",
                  FindingCode::CallBadValue, 8},
        FaultCase{"ConditionWithAnApostropheUnescaped", Dialect::Classic,
                  kClassic + ClassicMenu("", "\n<if cond=\"Input_m=='''\"/>") + "</vxml>",
                  FindingCode::CallBadValue, 8},
        FaultCase{"ConditionOnAnUnknownName", Dialect::Classic,
                  kClassic + ClassicMenu("", "\n<if cond=\"Input_x=='1'\"/>") + "</vxml>",
                  FindingCode::CallBrokenReference, 8},
        FaultCase{"GotoNowhere", Dialect::Classic,
                  kClassic +
                      ClassicMenu("", "\n<if cond=\"Input_m=='1'\"><goto next=\"#n\"/></if>") +
                      "</vxml>",
                  FindingCode::CallBrokenReference, 8},
        FaultCase{
            "GotoAnotherDocument", Dialect::Classic,
            kClassic +
                ClassicMenu("", "\n<if cond=\"Input_m=='1'\"><goto next=\"a.vxml#m\"/></if>") +
                "</vxml>",
            FindingCode::CallBadValue, 8},
        FaultCase{"TransferToNoTelephone", Dialect::Classic,
                  kClassic +
                      ClassicMenu("", "\n<if cond=\"Input_m=='1'\"><transfer name=\"R\" "
                                      "dest=\"sip:a\"/></if>") +
                      "</vxml>",
                  FindingCode::CallBadValue, 8},
        FaultCase{"MenusMoreThanForms", Dialect::Classic,
                  kClassic + "<form id=\"m\"><block>\n<disconnect/></block></form>\n</vxml>",
                  FindingCode::CallBadStructure, 2},
        FaultCase{"RepeatedIdInTheStandardDocument", Dialect::W3c,
                  kW3c + W3cMenu("<ruleref special=\"VOID\"/>", "") +
                      W3cMenu("<ruleref special=\"VOID\"/>", "") + "</vxml>",
                  FindingCode::CallBadStructure, 8},
        FaultCase{"ItemNotDtmf", Dialect::W3c,
                  kW3c + W3cMenu("<one-of><item>a</item></one-of>", "") + "</vxml>",
                  FindingCode::CallBadValue, 6},
        FaultCase{"FieldWithoutGrammar", Dialect::W3c,
                  kW3c + "<form id=\"m\">\n<field name=\"c\"/></form></vxml>",
                  FindingCode::CallBadStructure, 4},
        FaultCase{"TwoFieldsInAForm", Dialect::W3c,
                  kW3c + "<form id=\"m\">\n<field name=\"c\"/>\n<field name=\"d\"/></form></vxml>",
                  FindingCode::CallBadStructure, 5},
        FaultCase{"TransferNotBridged", Dialect::W3c,
                  kW3c + "<form id=\"d\">\n<transfer name=\"o\" dest=\"tel:1\"/></form></vxml>",
                  FindingCode::CallBadValue, 4},
        FaultCase{"TransferAsAStatementOfTheStandardDocument", Dialect::W3c,
                  kW3c +
                      W3cMenu("<ruleref special=\"VOID\"/>",
                              "<noinput>\n<transfer name=\"o\" dest=\"tel:1\"/></noinput>") +
                      "</vxml>",
                  FindingCode::CallBadStructure, 8},
        FaultCase{"ElseBeforeElseif", Dialect::W3c,
                  kW3c +
                      W3cMenu("<ruleref special=\"VOID\"/>",
                              "<noinput><if cond=\"choice == '1'\"><else/>\n"
                              "<elseif cond=\"choice == '2'\"/></if></noinput>") +
                      "</vxml>",
                  FindingCode::CallBadStructure, 8}));

struct RunCase {
  const char* szName;
  Dialect dialect;
  std::string document;
  std::vector<std::string> events;
  std::vector<std::string> transcript; ///< a fault ends it with "FAULT: " and a part of its text
  std::vector<std::string> menus = {"m.ivr", "n.ivr"};
};

void PrintTo(const RunCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class Runs : public testing::TestWithParam<RunCase> {};

TEST_P(Runs, FollowTheRulesOfACall) {
  const test::CallRun run = test::RunDocument(GetParam().document, GetParam().dialect,
                                              GetParam().menus, "UTF-8", GetParam().events);
  std::vector<std::string> lines = run.lines;
  const std::string& strExpectedLast = GetParam().transcript.back();
  if (!lines.empty() && lines.back().rfind("FAULT: ", 0) == 0 &&
      strExpectedLast.rfind("FAULT: ", 0) == 0 &&
      lines.back().find(strExpectedLast.substr(7)) != std::string::npos)
    lines.back() = strExpectedLast;
  EXPECT_EQ(lines, GetParam().transcript);
  EXPECT_EQ(run.nRejected, -1);
}

const std::vector<std::string> kEntered{"menu m.ivr", "play hi.wav", "wait 5s"};

std::vector<std::string> Entered(std::vector<std::string> more) {
  more.insert(more.begin(), kEntered.begin(), kEntered.end());
  return more;
}

/// A second classic form, the menu n.ivr, which hangs up on anything.
const std::string kClassicN =
    "<form id=\"n\"><block><property name=\"timeout\" value=\"7s\"/><audio src=\"n.wav\"/>"
    "<field name=\"Input_n\"/><filled name=\"Input_n\"/><disconnect/></block></form>\n";

/// The same form under the id of the first, "m".
const std::string kClassicNAsM = "<form id=\"m\"" + kClassicN.substr(kClassicN.find('>'));

INSTANTIATE_TEST_SUITE_P(
    Documents, Runs,
    testing::Values(
        RunCase{"ClassicActsOnTheFirstRowOfAKeyOnly",
                Dialect::Classic,
                kClassic +
                    ClassicMenu("", "<if cond=\"Input_m=='1'\"><transfer name=\"Result\" "
                                    "dest=\"tel:5\"/></if><if cond=\"Input_m=='1'\">"
                                    "<goto next=\"#n\"/></if>") +
                    kClassicN + "</vxml>",
                {"1", "noanswer"},
                Entered({"press 1", "dial 5", "noanswer", "hangup"})},
        RunCase{"ClassicHangsUpOnSilenceWithoutANoInputRow",
                Dialect::Classic,
                kClassic + ClassicMenu("", kOk) + kClassicN + "</vxml>",
                {"silence"},
                Entered({"silence", "hangup"})},
        RunCase{"ClassicHangsUpOnAKeyNoRowAnswers",
                Dialect::Classic,
                kClassic + ClassicMenu("", "<if cond=\"Input_m=='1'\"><goto next=\"#n\"/></if>") +
                    kClassicN + "</vxml>",
                {"2"},
                Entered({"press 2", "hangup"})},
        RunCase{"ClassicFaxRowActsOnTheFaxTone",
                Dialect::Classic,
                kClassic + ClassicMenu("", "<if cond=\"Input_m=='fax'\"><goto next=\"#n\"/></if>") +
                    kClassicN + "</vxml>",
                {"fax", "f"},
                Entered({"fax", "menu n.ivr", "play n.wav", "wait 7s", "press f", "hangup"})},
        RunCase{"ClassicBusyRowActsAfterItsTransfer",
                Dialect::Classic,
                kClassic +
                    ClassicMenu("<noinput><transfer name=\"Result\" dest=\"tel:\"/><if "
                                "cond=\"Result=='busy'\"><goto next=\"#n\"/></if></noinput>",
                                kOk) +
                    kClassicN + "</vxml>",
                {"silence", "busy"},
                Entered({"silence", "dial", "busy", "menu n.ivr", "play n.wav", "wait 7s"})},
        RunCase{"ClassicGotoEntersTheFirstFormOfItsId",
                Dialect::Classic,
                kClassic + ClassicMenu("<noinput><goto next=\"#m\"/></noinput>", kOk) +
                    kClassicNAsM + "</vxml>",
                {"silence"},
                Entered({"silence", "menu m.ivr", "play hi.wav", "wait 5s"})},
        RunCase{"AFormThatNeverWaitsIsStopped",
                Dialect::Classic,
                kClassic + "<form id=\"m\"><block><goto next=\"#m\"/></block></form>" + kClassicN +
                    "</vxml>",
                {},
                {"FAULT: ни разу не дождавшись звонящего"},
                {"n.ivr"}},
        RunCase{"AFormThatEndsWithoutDisconnectIsStranded",
                Dialect::Classic,
                kClassic +
                    "<form id=\"m\"><block><property name=\"timeout\" value=\"5s\"/>"
                    "<field name=\"Input_m\"/></block></form>" +
                    kClassicN + "</vxml>",
                {"1"},
                {"menu m.ivr", "wait 5s", "press 1", "FAULT: кончилась без перехода"}},
        RunCase{"AWaitWithoutTimeoutIsAFault",
                Dialect::Classic,
                kClassic + "<form id=\"m\"><block><field name=\"Input_m\"/></block></form>" +
                    kClassicN + "</vxml>",
                {},
                {"menu m.ivr", "FAULT: время ожидания"}},
        RunCase{"StandardKeysOutsideTheGrammarAndFaxGoToNoMatch",
                Dialect::W3c,
                kW3c +
                    W3cMenu("<one-of><item>1</item></one-of>",
                            "<noinput><goto next=\"#m\"/></noinput>"
                            "<nomatch><goto next=\"#m\"/></nomatch>"
                            "<filled><disconnect/></filled>") +
                    "</vxml>",
                {"2", "a", "fax", "silence", "1"},
                Entered({"press 2", "menu m.ivr", "play hi.wav", "wait 5s", "press a", "menu m.ivr",
                         "play hi.wav", "wait 5s", "fax", "menu m.ivr", "play hi.wav", "wait 5s",
                         "silence", "menu m.ivr", "play hi.wav", "wait 5s", "press 1", "hangup"}),
                {"m.ivr"}},
        RunCase{"StandardVoidGrammarMatchesNothing",
                Dialect::W3c,
                kW3c +
                    W3cMenu("<ruleref special=\"VOID\"/>",
                            "<noinput><disconnect/></noinput><nomatch><disconnect/></nomatch>") +
                    "</vxml>",
                {"1"},
                Entered({"press 1", "hangup"}),
                {"m.ivr"}},
        RunCase{"StandardHandlerEndingWithoutTransitionIsStranded",
                Dialect::W3c,
                kW3c + W3cMenu("<ruleref special=\"VOID\"/>", "<noinput/>") + "</vxml>",
                {"silence"},
                Entered({"silence", "FAULT: <noinput> кончился без перехода"}),
                {"m.ivr"}},
        RunCase{"StandardMissingHandlerIsStranded",
                Dialect::W3c,
                kW3c + W3cMenu("<ruleref special=\"VOID\"/>", "") + "</vxml>",
                {"1"},
                Entered({"press 1", "FAULT: нет <nomatch>"}),
                {"m.ivr"}},
        RunCase{
            "StandardTransferActsOnItsOutcome",
            Dialect::W3c,
            kW3c +
                W3cMenu("<ruleref special=\"VOID\"/>", "<noinput><goto next=\"#d\"/></noinput>") +
                "<form id=\"d\"><transfer name=\"outcome\" dest=\"tel:5\" bridge=\"true\">"
                "<filled><if cond=\"outcome == 'busy'\"><goto next=\"#m\"/><else/>"
                "<disconnect/></if></filled></transfer></form></vxml>",
            {"silence", "busy", "silence", "answer"},
            Entered({"silence", "dial 5", "busy", "menu m.ivr", "play hi.wav", "wait 5s", "silence",
                     "dial 5", "answer", "hangup"}),
            {"m.ivr"}}));

} // namespace
} // namespace dovetrel
