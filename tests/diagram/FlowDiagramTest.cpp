// The call-flow diagram: texts decoded, the drawing module's DOT and SVG read back by Graphviz and
// libxml2, the JSON read back into the model, and the Flow command's failures.

#include "diagram/FlowDiagram.h"
#include "bench/BenchSets.h"
#include "convert/FlowCommand.h"
#include "convert/Texts.h"
#include "diagram/FlowJson.h"
#include "diagram/FlowText.h"
#include "diagram/Texts.h"
#include "tests/support/CollectingMessages.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/MemoryOutput.h"
#include "tests/support/TempDir.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <cgraph.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>

namespace dovetrel {
namespace {

using test::CCollectingMessages;

const std::string kExamples = DOVETREL_SOURCE_DIR "/examples/";

/// The call flow of the set whose main file is \p strMain, read from the file system.
CallFlow LoadFlow(const std::string& strMain, CScenarioTable& table,
                  IInputFiles& files = SystemInputFiles()) {
  CCollectingMessages messages;
  EXPECT_TRUE(LoadScenarioSet(strMain, DirectoryOf(strMain), table, {messages, files}));
  return BuildCallFlow(table);
}

std::string Draw(const CallFlow& flow, FlowFormat format, const std::string& strEncoding,
                 const DiagramMarks* pMarks = nullptr) {
  std::string strReason;
  const CDiagramModule* pModule = CDiagramModule::Load(strReason);
  EXPECT_NE(pModule, nullptr) << strReason;
  std::string strBytes;
  if (pModule) {
    EXPECT_TRUE(pModule->Draw(flow, strEncoding, format, strBytes, strReason, pMarks)) << strReason;
  }
  return strBytes;
}

/// A DOT text read back by Graphviz.
using DotGraph = std::unique_ptr<Agraph_t, int (*)(Agraph_t*)>;
DotGraph ReadDot(const std::string& strDot) {
  return DotGraph(agmemread(strDot.c_str()), &agclose);
}

std::string Attribute(void* pObject, const char* szName) {
  const char* szValue = agget(pObject, const_cast<char*>(szName));
  return szValue ? szValue : "";
}

/// \p strValue with each backslash command read as the character after it ("\\" as a
/// backslash), and "\n" as a line break when \p bLines.
std::string Unescape(const std::string& strValue, bool bLines) {
  std::string strOut;
  for (std::size_t i = 0; i < strValue.size(); ++i) {
    if (strValue[i] != '\\' || i + 1 == strValue.size()) {
      strOut += strValue[i];
      continue;
    }
    const char c = strValue[++i];
    strOut += bLines && c == 'n' ? '\n' : c;
  }
  return strOut;
}

std::string ReadEntities(std::string strValue) {
  for (std::size_t i = 0; (i = strValue.find("&amp;", i)) != std::string::npos; ++i)
    strValue.replace(i, 5, "&");
  return strValue;
}

/// What a label read back from DOT shows.
std::string ShownLabel(const std::string& strValue) {
  return ReadEntities(Unescape(strValue, true));
}

/// What a tooltip read back from DOT shows: Graphviz takes its backslashes off twice.
std::string ShownTooltip(const std::string& strValue) {
  return ReadEntities(Unescape(Unescape(strValue, false), false));
}

/// A node or an edge of an SVG drawing: its Graphviz title, its tooltips and its texts.
struct SvgElement {
  std::string strClass; ///< "node" or "edge"
  std::string strTitle;
  std::vector<std::string> vecTooltips;
  std::vector<std::string> vecTexts;
};

std::string Content(xmlNode* pNode) {
  xmlChar* pText = xmlNodeGetContent(pNode);
  std::string strText = pText ? reinterpret_cast<const char*>(pText) : "";
  xmlFree(pText);
  return strText;
}

void CollectParts(xmlNode* pNode, SvgElement& element) {
  for (; pNode; pNode = pNode->next) {
    if (pNode->type != XML_ELEMENT_NODE)
      continue;
    const std::string strName = reinterpret_cast<const char*>(pNode->name);
    if (strName == "title")
      element.strTitle = Content(pNode);
    else if (strName == "text")
      element.vecTexts.push_back(Content(pNode));
    if (xmlChar* pTip = xmlGetProp(pNode, reinterpret_cast<const xmlChar*>("title"))) {
      element.vecTooltips.emplace_back(reinterpret_cast<const char*>(pTip));
      xmlFree(pTip);
    }
    CollectParts(pNode->children, element);
  }
}

void CollectElements(xmlNode* pNode, std::vector<SvgElement>& elements) {
  for (; pNode; pNode = pNode->next) {
    if (pNode->type != XML_ELEMENT_NODE)
      continue;
    xmlChar* pClass = xmlGetProp(pNode, reinterpret_cast<const xmlChar*>("class"));
    const std::string strClass = pClass ? reinterpret_cast<const char*>(pClass) : "";
    xmlFree(pClass);
    if (strClass == "node" || strClass == "edge") {
      elements.push_back({strClass, {}, {}, {}});
      CollectParts(pNode->children, elements.back());
      continue;
    }
    CollectElements(pNode->children, elements);
  }
}

/// The nodes and edges of an SVG drawing; fails the test when it is not well-formed XML.
std::vector<SvgElement> ReadSvg(const std::string& strSvg) {
  xmlDoc* pDoc = xmlReadMemory(strSvg.data(), static_cast<int>(strSvg.size()), "flow.svg", nullptr,
                               XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  EXPECT_NE(pDoc, nullptr) << "the SVG is not well-formed";
  std::vector<SvgElement> elements;
  if (pDoc)
    CollectElements(xmlDocGetRootElement(pDoc), elements);
  xmlFreeDoc(pDoc);
  return elements;
}

/// True for "NAME.ivr:LINE", LINE from 1: the file named relative to the main file's folder, so
/// that a diagram carries no folder of the author's machine.
bool IsRowPlace(const std::string& strText) {
  const std::size_t nColon = strText.rfind(".ivr:");
  if (strText.empty() || strText.find('/') != std::string::npos || nColon == std::string::npos)
    return false;
  const std::string strLine = strText.substr(nColon + 5);
  return !strLine.empty() && strLine[0] != '0' &&
         strLine.find_first_not_of("0123456789") == std::string::npos;
}

// ---------------------------------------------------------------------------------------------

struct FormatCase {
  const char* szPath;
  std::optional<FlowFormat> format;
};

class FlowFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(FlowFormats, FollowTheSuffix) {
  EXPECT_EQ(FlowFormatOfPath(GetParam().szPath), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Suffixes, FlowFormats,
    testing::Values(FormatCase{"a.svg", FlowFormat::Svg}, FormatCase{"/d/a.b.PNG", FlowFormat::Png},
                    FormatCase{"a.pdf", FlowFormat::Pdf}, FormatCase{"x/a.Dot", FlowFormat::Dot},
                    FormatCase{"a.json", FlowFormat::Json}, FormatCase{"a.svgz", std::nullopt},
                    FormatCase{"a.txt", std::nullopt}, FormatCase{"svg", std::nullopt},
                    FormatCase{"dir.svg/a", std::nullopt}, FormatCase{"", std::nullopt}));

struct TextCase {
  const char* szEncoding;
  std::string bytes;
  std::string strDecoded;
  std::function<std::string(CFlowText&, std::string_view)> decode;
};

std::string Decode(CFlowText& text, std::string_view bytes) {
  return text.Decode(bytes);
}
std::string DecodePath(CFlowText& text, std::string_view bytes) {
  return text.DecodePath(bytes);
}
std::string DecodeQuoting(CFlowText& text, std::string_view bytes) {
  return text.DecodeQuoting(bytes);
}

class FlowTexts : public testing::TestWithParam<TextCase> {};

TEST_P(FlowTexts, DecodeToUtf8WithControlsEscaped) {
  const auto pText = CFlowText::Open(GetParam().szEncoding);
  ASSERT_NE(pText, nullptr);
  const std::string strDecoded = GetParam().decode(*pText, GetParam().bytes);
  EXPECT_EQ(strDecoded, GetParam().strDecoded);
  EXPECT_TRUE(IsUtf8(strDecoded));
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, FlowTexts,
    testing::Values(
        TextCase{"WINDOWS-1251", "\xEF\xF0\xE8\xE2\xE5\xF2.wav", "привет.wav", Decode},
        TextCase{"UTF-8", "привет", "привет", Decode},
        TextCase{"UTF-8", "a\tb\rc\x1B[0m\x7F", "a\\tb\\rc\\x1B[0m\\x7F", Decode},
        TextCase{"WINDOWS-1251", "\x98\xC0\x01", "\\x98А\\x01", Decode},
        TextCase{"UTF-8", "\xC3(\xE2\x82", "\\xC3(\\xE2\\x82", Decode},
        TextCase{"UTF-8", "a\xC2\x85z", "a\\x85z", Decode},
        TextCase{"UTF-8", "\"<&\\{}", "\"<&\\{}", Decode},
        TextCase{"WINDOWS-1251", "/home/оп/\xEC\xE5\xED\xFE.ivr", "/home/оп/меню.ivr", DecodePath},
        TextCase{"WINDOWS-1251", "/дом/a.ivr", "/дом/a.ivr", DecodePath},
        TextCase{"WINDOWS-1251", "клавиша «\xDF» \x1B", "клавиша «Я» \\x1B", DecodeQuoting},
        TextCase{"UTF-8", "клавиша «\xD0»", "клавиша «\\xD0»", DecodeQuoting}));

// ---------------------------------------------------------------------------------------------

struct ExampleCase {
  const char* szName;
  std::function<std::string(std::unique_ptr<bench::CBenchSet>&)> mainFile;
  int nNodes;
  int nEdges;
};

std::string Example(const char* szName, std::unique_ptr<bench::CBenchSet>&) {
  return kExamples + szName + "/main.ivr";
}

std::string Largest(std::unique_ptr<bench::CBenchSet>& pSet) {
  pSet = std::make_unique<bench::CBenchSet>(bench::CBenchSet::Largest());
  return pSet->MainFile();
}

class ExampleDiagrams : public testing::TestWithParam<ExampleCase> {
protected:
  void SetUp() override {
    const std::string strMain = GetParam().mainFile(m_pSet);
    m_flow = LoadFlow(strMain, m_table);
    m_strEncoding = DetectSourceEncoding(m_table);
  }
  std::unique_ptr<bench::CBenchSet> m_pSet;
  CScenarioTable m_table;
  CallFlow m_flow;
  std::string m_strEncoding;
};

TEST_P(ExampleDiagrams, DotReadsBackWithEveryNodeAndEdge) {
  const DotGraph pGraph = ReadDot(Draw(m_flow, FlowFormat::Dot, m_strEncoding));
  ASSERT_NE(pGraph, nullptr);
  EXPECT_EQ(agnnodes(pGraph.get()), GetParam().nNodes);
  EXPECT_EQ(agnedges(pGraph.get()), GetParam().nEdges);
}

TEST_P(ExampleDiagrams, SvgCarriesTheRowOfEveryElement) {
  const std::vector<SvgElement> elements = ReadSvg(Draw(m_flow, FlowFormat::Svg, m_strEncoding));
  ASSERT_EQ(static_cast<int>(elements.size()), GetParam().nNodes + GetParam().nEdges);
  std::size_t nMenus = 0;
  for (const SvgElement& element : elements) {
    ASSERT_FALSE(element.vecTooltips.empty()) << element.strTitle;
    if (element.strClass == "node" && element.strTitle.rfind("menu", 0) == 0) {
      // Menu nodes are named by their place in the flow, from 1.
      const std::size_t nMenu = std::stoul(element.strTitle.substr(4)) - 1;
      EXPECT_EQ(element.vecTooltips, std::vector<std::string>{m_flow.menus.at(nMenu).strName});
      ++nMenus;
      continue;
    }
    for (const std::string& strTooltip : element.vecTooltips)
      EXPECT_TRUE(IsRowPlace(strTooltip)) << strTooltip;
  }
  EXPECT_EQ(nMenus, m_flow.menus.size());
}

TEST_P(ExampleDiagrams, DrawnFormatsHaveTheirSignatures) {
  EXPECT_EQ(Draw(m_flow, FlowFormat::Png, m_strEncoding).substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(Draw(m_flow, FlowFormat::Pdf, m_strEncoding).substr(0, 5), "%PDF-");
}

INSTANTIATE_TEST_SUITE_P(
    Sets, ExampleDiagrams,
    testing::Values(ExampleCase{"worked", std::bind_front(Example, "worked"), 6, 7},
                    ExampleCase{"callcentre", std::bind_front(Example, "callcentre"), 19, 30},
                    ExampleCase{"largest", Largest, 22, 22}));

// ---------------------------------------------------------------------------------------------

/// A set with one row that never acts for each reason.
constexpr const char* kInertSet = "10   a.wav\n"
                                  "1    dial            100\n"
                                  "1    menu            main.ivr\n"
                                  "-    disconnect\n"
                                  "-    menu            main.ivr\n"
                                  "2    Dial            200\n"
                                  "b    disconnect\n";

TEST(InertRows, AreDashedGreyEdgesWithTheirMeaning) {
  test::CMemoryFiles files;
  // The busy row serves the dial above it: one more below it serves none.
  files.Add("/s/main.ivr", std::string(kInertSet) + "b    disconnect\n");
  CScenarioTable table;
  const CallFlow flow = LoadFlow("/s/main.ivr", table, files);
  ASSERT_EQ(flow.menus.at(0).inert.size(), 4U);
  const DotGraph pGraph = ReadDot(Draw(flow, FlowFormat::Dot, "UTF-8"));
  ASSERT_NE(pGraph, nullptr);
  std::vector<std::string> tooltips;
  for (Agnode_t* pNode = agfstnode(pGraph.get()); pNode; pNode = agnxtnode(pGraph.get(), pNode))
    for (Agedge_t* pEdge = agfstout(pGraph.get(), pNode); pEdge;
         pEdge = agnxtout(pGraph.get(), pEdge))
      if (Attribute(pEdge, "label") == text::kInertEdge) {
        EXPECT_EQ(Attribute(pEdge, "style"), "dashed");
        tooltips.push_back(ShownTooltip(Attribute(pEdge, "tooltip")));
      }
  std::vector<std::string> expected;
  for (const InertRow& row : flow.menus[0].inert)
    expected.push_back("main.ivr:" + std::to_string(row.source.nLine) + ": " +
                       (row.reason == InertReason::UnknownKeyword
                            ? std::string(text::kUnknownKeyword)
                            : DescribeInertRow(row)));
  EXPECT_EQ(tooltips, expected);
}

TEST(Drawings, TwoAtOnceAreEachTheDrawingOfTheirFlow) {
  CScenarioTable table;
  const CallFlow flow = LoadFlow(kExamples + "callcentre/main.ivr", table);
  const std::string strSvg = Draw(flow, FlowFormat::Svg, "WINDOWS-1251");
  const std::string strDot = Draw(flow, FlowFormat::Dot, "WINDOWS-1251");
  ASSERT_FALSE(strSvg.empty());
  const auto DrawRepeatedly = [&](FlowFormat format, const std::string& strExpected) {
    for (int i = 0; i < 40; ++i)
      EXPECT_EQ(Draw(flow, format, "WINDOWS-1251"), strExpected);
  };
  std::thread other(DrawRepeatedly, FlowFormat::Dot, strDot);
  DrawRepeatedly(FlowFormat::Svg, strSvg);
  other.join();
}

TEST(Coverage, ShowsOnEveryArrowOfARowThatActs) {
  CScenarioTable table;
  const CallFlow flow = LoadFlow(kExamples + "worked/main.ivr", table);
  const std::string strMain = flow.menus.at(0).strPath;
  const std::string strSales = flow.menus.at(1).strPath;
  // Rows 4 and 5 of main.ivr are left out, as rows a dialect's document cannot carry are.
  const RowHits hits{{{strMain, 2}, 3}, {{strMain, 3}, 0}, {{strSales, 2}, 1}, {{strSales, 3}, 0}};
  // Each arrow's row: its label, style, colour and line width in the DOT; its "hits" in the JSON.
  const std::map<std::string, std::vector<std::string>> expected = {
      {"main.ivr:2", {"1 ×3", "solid", "#4a4a4a", "1.6", "3"}},
      {"main.ivr:3", {"2 ×0", "dashed", "#c2255c", "1.6", "0"}},
      {"main.ivr:4", {"0", "solid", "#4a4a4a", "", "-"}},
      {"main.ivr:5", {"нет ввода", "solid", "#4a4a4a", "", "-"}},
      {"sales.ivr:2", {"1 ×1", "solid", "#4a4a4a", "1.6", "1"}},
      {"sales.ivr:3", {"занято ×0", "dashed", "#c2255c", "1.6", "0"}},
      {"sales.ivr:4", {"нет ввода", "solid", "#4a4a4a", "", "-"}},
  };
  std::map<std::string, std::vector<std::string>> shown;
  DiagramMarks marks;
  marks.hits = hits;
  // The dial of sales.ivr:2 has a busy row: no call went unanswered there.
  marks.noAnswers = {{{strSales, 2}, 0}};
  const DotGraph pGraph = ReadDot(Draw(flow, FlowFormat::Dot, "UTF-8", &marks));
  ASSERT_NE(pGraph, nullptr);
  // Each dial node: its label, style and colour; its "noAnswerHits" in the JSON.
  const std::map<std::string, std::vector<std::string>> expectedDials = {
      {"main.ivr:3", {"набор\n123", "filled", "#4b7d3b", "-"}},
      {"sales.ivr:2", {"набор\n123\nнет ответа ×0", "filled,dashed", "#c2255c", "0"}},
  };
  std::map<std::string, std::vector<std::string>> shownDials;
  for (Agnode_t* pNode = agfstnode(pGraph.get()); pNode; pNode = agnxtnode(pGraph.get(), pNode)) {
    if (Attribute(pNode, "label").starts_with("набор"))
      shownDials[ShownTooltip(Attribute(pNode, "tooltip"))] = {
          ShownLabel(Attribute(pNode, "label")), Attribute(pNode, "style"),
          Attribute(pNode, "color"), "-"};
    for (Agedge_t* pEdge = agfstout(pGraph.get(), pNode); pEdge;
         pEdge = agnxtout(pGraph.get(), pEdge))
      shown[ShownTooltip(Attribute(pEdge, "tooltip"))] = {
          ShownLabel(Attribute(pEdge, "label")), Attribute(pEdge, "style"),
          Attribute(pEdge, "color"), Attribute(pEdge, "penwidth"), "-"};
  }
  std::string strJson;
  std::string strReason;
  ASSERT_TRUE(WriteFlowJson(flow, "UTF-8", strJson, strReason, &marks)) << strReason;
  const auto ShowHits = [&](const nlohmann::json& step) {
    const nlohmann::json& source = step.at("source");
    const std::string strPlace =
        source.at("file").get<std::string>() + ':' + std::to_string(source.at("line").get<int>());
    shown[strPlace].resize(5);
    shown[strPlace][4] = step.contains("hits") ? std::to_string(step.at("hits").get<int>()) : "-";
    if (step.contains("noAnswerHits"))
      shownDials[strPlace].at(3) = std::to_string(step.at("noAnswerHits").get<int>());
  };
  const nlohmann::json json = nlohmann::json::parse(strJson);
  for (const nlohmann::json& menu : json.at("menus")) {
    for (const nlohmann::json& key : menu.at("keys")) {
      ShowHits(key);
      if (key.contains("busy") && !key.at("busy").is_null())
        ShowHits(key.at("busy"));
    }
    ShowHits(menu.at("noInput"));
  }
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(shownDials, expectedDials);
}

// ---------------------------------------------------------------------------------------------

/// Texts no label may lose: quotes, markup, backslashes before letters Graphviz reads as escapes,
/// braces, and control characters.
const std::vector<std::string> kHostileTexts = {
    "q\"<&>.ivr",           "a\\N\\G\\E\\T\\H\\L\\n\\l\\r\\\\.wav",
    "{x}|<p> [y]; z=\"w\"", "tab\there\x1B[0m",
    "</text><text>&amp;",   "\\",
};

class HostileLabels : public testing::TestWithParam<std::string> {};

/// \p text as a file name can hold it: every '/' made '_'.
std::string FileNamed(std::string text) {
  std::replace(text.begin(), text.end(), '/', '_');
  return text;
}

/// A menu whose name, greeting and dial number are all \p text, in a file named so.
CallFlow FlowWith(const std::string& text) {
  FlowMenu menu{text, "/d/" + FileNamed(text), "10s", text, {}, {}, {}, {}, {}, {}};
  FlowAction dial;
  dial.kind = ActionKind::Dial;
  dial.strArgument = text;
  dial.source = {"/d/" + FileNamed(text), 2};
  menu.keys.push_back(KeyAction{'1', dial});
  return CallFlow{{menu}, {}};
}

TEST_P(HostileLabels, SurviveDotAndSvg) {
  const std::string strShown = EscapeControls(GetParam());
  const std::string strFileShown = EscapeControls(FileNamed(GetParam()));
  const CallFlow flow = FlowWith(GetParam());
  const DotGraph pGraph = ReadDot(Draw(flow, FlowFormat::Dot, "UTF-8"));
  ASSERT_NE(pGraph, nullptr);
  ASSERT_EQ(agnnodes(pGraph.get()), 2);
  Agnode_t* pMenu = agfstnode(pGraph.get());
  EXPECT_EQ(ShownLabel(Attribute(pMenu, "label")),
            strShown + "\n" + std::string(text::kGreetingMark) + strShown + "\nожидание 10s");
  EXPECT_EQ(ShownTooltip(Attribute(pMenu, "tooltip")), strFileShown);
  EXPECT_EQ(ShownLabel(Attribute(agnxtnode(pGraph.get(), pMenu), "label")), "набор\n" + strShown);

  const std::vector<SvgElement> svg = ReadSvg(Draw(flow, FlowFormat::Svg, "UTF-8"));
  ASSERT_EQ(svg.size(), 3U);
  const auto Find = [&](const char* szTitle) {
    for (const SvgElement& element : svg)
      if (element.strTitle == szTitle)
        return element;
    ADD_FAILURE() << "no " << szTitle;
    return SvgElement{};
  };
  const SvgElement menu = Find("menu1");
  EXPECT_EQ(menu.vecTexts,
            (std::vector<std::string>{strShown, std::string(text::kGreetingMark) + strShown,
                                      "ожидание 10s"}));
  EXPECT_EQ(menu.vecTooltips, std::vector<std::string>{strFileShown});
  EXPECT_EQ(Find("n2").vecTexts, (std::vector<std::string>{"набор", strShown}));
  EXPECT_EQ(Find("menu1->n2").vecTooltips, (std::vector<std::string>(2, strFileShown + ":2")));
}

INSTANTIATE_TEST_SUITE_P(Texts, HostileLabels, testing::ValuesIn(kHostileTexts));

// ---------------------------------------------------------------------------------------------

using Json = nlohmann::json;

SourcePlace ReadSource(const Json& json) {
  return {json.at("file").get<std::string>(), json.at("line").get<int>()};
}

FlowStep ReadStep(const Json& json) {
  FlowStep step;
  const std::string strAction = json.at("action");
  step.kind = strAction == "menu"   ? ActionKind::Menu
              : strAction == "dial" ? ActionKind::Dial
                                    : ActionKind::Hangup;
  if (step.kind == ActionKind::Menu) {
    step.strArgument = json.at("file");
    step.nTargetMenu = json.at("target").is_null() ? -1 : json.at("target").get<int>();
  } else if (step.kind == ActionKind::Dial) {
    step.strArgument = json.at("number");
  }
  step.source = ReadSource(json.at("source"));
  return step;
}

FlowAction ReadAction(const Json& json) {
  FlowAction action{ReadStep(json), std::nullopt};
  if (action.kind == ActionKind::Dial && !json.at("busy").is_null())
    action.busy = ReadStep(json.at("busy"));
  return action;
}

char ReadKey(const Json& json) {
  return json.is_null() ? '\0' : json.get<std::string>().at(0);
}

/// The model a tool reads from the JSON of docs/flow.md.
CallFlow ReadFlowJson(const std::string& strJson) {
  const Json json = Json::parse(strJson);
  EXPECT_EQ(json.at("format"), "dovetrel-call-flow");
  EXPECT_EQ(json.at("version"), kFlowJsonVersion);
  static const std::map<std::string, InertReason> kReasons = {
      {"unknownKeyword", InertReason::UnknownKeyword},
      {"keyTaken", InertReason::KeyTaken},
      {"secondNoInput", InertReason::SecondNoInput},
      {"busyServesNoDial", InertReason::BusyServesNoDial}};
  CallFlow flow;
  for (const Json& jsonMenu : json.at("menus")) {
    FlowMenu& menu = flow.menus.emplace_back();
    menu.strName = jsonMenu.at("name");
    menu.strPath = jsonMenu.at("path");
    menu.strTimeout = jsonMenu.at("timeout");
    menu.strGreeting = jsonMenu.at("greeting");
    for (const Json& key : jsonMenu.at("keys"))
      menu.keys.push_back(KeyAction{ReadKey(key.at("key")), ReadAction(key)});
    if (!jsonMenu.at("noInput").is_null())
      menu.noInput = ReadAction(jsonMenu.at("noInput"));
    for (const Json& row : jsonMenu.at("inert"))
      menu.inert.push_back(InertRow{
          ReadSource(row.at("source")), ReadKey(row.at("key")), kReasons.at(row.at("reason")),
          row.at("actingLine").is_null() ? 0 : row.at("actingLine").get<int>()});
  }
  return flow;
}

/// Every value of the model, one per line, for comparing two models with a readable difference.
std::string Dump(const FlowStep& step) {
  return std::to_string(static_cast<int>(step.kind)) + " '" + step.strArgument + "' >" +
         std::to_string(step.nTargetMenu) + " @" + step.source.strFile + ":" +
         std::to_string(step.source.nLine);
}

std::string Dump(const CallFlow& flow) {
  std::string strOut;
  for (const FlowMenu& menu : flow.menus) {
    strOut += menu.strName + " | " + menu.strPath + " | " + menu.strTimeout + " | " +
              menu.strGreeting + "\n";
    for (const KeyAction& key : menu.keys)
      strOut += "  key " + std::string(1, key.key) + ": " + Dump(key.action) +
                (key.action.busy ? " busy " + Dump(*key.action.busy) : "") + "\n";
    if (menu.noInput)
      strOut += "  no input: " + Dump(*menu.noInput) +
                (menu.noInput->busy ? " busy " + Dump(*menu.noInput->busy) : "") + "\n";
    for (const InertRow& row : menu.inert)
      strOut += "  inert " + std::string(row.key ? 1 : 0, row.key) + " " +
                std::to_string(static_cast<int>(row.reason)) + " " +
                std::to_string(row.nActingLine) + " @" + row.source.strFile + ":" +
                std::to_string(row.source.nLine) + "\n";
  }
  return strOut;
}

/// \p flow with every path named as a drawing or a listing names it: relative to the main file's
/// folder.
CallFlow PathsInSet(CallFlow flow) {
  const CallFlow original = flow;
  const auto Relative = [&](std::string& strPath) {
    strPath = std::string(PathInSet(original, strPath));
  };
  const auto RelativeStep = [&](FlowStep& step) { Relative(step.source.strFile); };
  for (FlowMenu& menu : flow.menus) {
    Relative(menu.strPath);
    for (KeyAction& key : menu.keys) {
      RelativeStep(key.action);
      if (key.action.busy)
        RelativeStep(*key.action.busy);
    }
    if (menu.noInput) {
      RelativeStep(*menu.noInput);
      if (menu.noInput->busy)
        RelativeStep(*menu.noInput->busy);
    }
    for (InertRow& row : menu.inert)
      Relative(row.source.strFile);
  }
  return flow;
}

/// The set's files in UTF-8, each in place of its bytes of \p strEncoding.
void ReencodeToUtf8(const test::CTempDir& dir, const std::string& strEncoding) {
  const auto pCodec = CTextCodec::Open(strEncoding);
  ASSERT_NE(pCodec, nullptr);
  for (const std::string& strName : dir.Names()) {
    std::string strUtf8;
    ASSERT_TRUE(pCodec->ToXmlUtf8(dir.Read(strName), strUtf8));
    dir.Write(strName, strUtf8);
  }
}

struct JsonCase {
  const char* szName;
  std::vector<std::pair<std::string, std::string>> files; ///< empty: the example of that name
};

class FlowJsonRoundTrip : public testing::TestWithParam<JsonCase> {};

/// The JSON of a set, read back, is the model of the same set written in UTF-8: every value
/// decoded, none lost.
TEST_P(FlowJsonRoundTrip, ReadsBackIntoTheModel) {
  const test::CTempDir dir;
  std::vector<std::pair<std::string, std::string>> files = GetParam().files;
  if (files.empty())
    for (const auto& entry : std::filesystem::directory_iterator(kExamples + GetParam().szName))
      if (entry.path().extension() == ".ivr")
        files.emplace_back(entry.path().filename(), test::ReadWholeFile(entry.path()));
  for (const auto& [strName, strContent] : files)
    dir.Write(strName, strContent);
  CScenarioTable table;
  const CallFlow flow = LoadFlow(dir.Path() + "main.ivr", table);
  const std::string strEncoding = DetectSourceEncoding(table);
  std::string strJson;
  std::string strReason;
  ASSERT_TRUE(WriteFlowJson(flow, strEncoding, strJson, strReason)) << strReason;
  EXPECT_EQ(Json::parse(strJson).at("encoding"), strEncoding);

  ReencodeToUtf8(dir, strEncoding);
  CScenarioTable utf8Converter;
  const CallFlow utf8Flow = LoadFlow(dir.Path() + "main.ivr", utf8Converter);
  ASSERT_FALSE(utf8Flow.menus.empty());
  EXPECT_EQ(Dump(ReadFlowJson(strJson)), Dump(PathsInSet(utf8Flow)));
}

INSTANTIATE_TEST_SUITE_P(
    Sets, FlowJsonRoundTrip,
    testing::Values(JsonCase{"worked", {}}, JsonCase{"callcentre", {}},
                    JsonCase{"inert", {{"main.ivr", std::string(kInertSet) + "b    disconnect\n"}}},
                    JsonCase{"self-loop-and-empty-dial",
                             {{"main.ivr", "10   a.wav\n1    menu            sub.ivr\n"},
                              {"sub.ivr", "5    b.wav\n1    menu            sub.ivr\n"
                                          "2    dial\n"}}}));

// ---------------------------------------------------------------------------------------------

struct CommandCase {
  const char* szName;
  std::function<void(test::CMemoryFiles&, test::CMemoryOutput&)> prepare;
  FlowOutcome outcome;
  std::vector<std::pair<std::string_view, std::string>> messages; ///< text, detail
};

class FlowCommand : public testing::TestWithParam<CommandCase> {};

/// Every outcome shows its messages, and only a success replaces the file.
TEST_P(FlowCommand, ReportsAndWritesOnlyWhole) {
  test::CMemoryFiles files;
  files.Add("/s/main.ivr", "10   a.wav\n1    menu            sub.ivr\n");
  files.Add("/s/sub.ivr", "5    b.wav\n");
  test::CMemoryOutput output;
  GetParam().prepare(files, output);
  ConversionOptions options;
  options.pFiles = &files;
  options.pOutput = &output;
  CCollectingMessages messages;
  EXPECT_EQ(RunFlow("/s/main.ivr", "/s/flow.json", FlowFormat::Json, messages, options),
            GetParam().outcome);
  for (const auto& [text, strDetail] : GetParam().messages) {
    const MessageKind kind =
        text == text::kFlowWritten ? MessageKind::Information : MessageKind::Warning;
    EXPECT_EQ(FormatDetail(messages.Expect(text, kind).detail), strDetail);
  }
  EXPECT_EQ(output.m_nLiveStreams, 0);
  const bool bWritten = GetParam().outcome == FlowOutcome::Written;
  EXPECT_EQ(output.m_nCommits, bWritten ? 1 : 0);
  if (bWritten)
    EXPECT_EQ(Json::parse(output.m_strDocument).at("menus").size(), 2U);
  else
    EXPECT_EQ(output.m_strDocument, "previous document");
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FlowCommand,
    testing::Values(
        CommandCase{"written",
                    [](auto&, auto&) {},
                    FlowOutcome::Written,
                    {{text::kFlowWritten, "/s/flow.json"}}},
        CommandCase{"nested-file-missing",
                    [](test::CMemoryFiles& files, auto&) {
                      files.Add("/s/main.ivr", "10   a.wav\n1    menu            gone.ivr\n");
                    },
                    FlowOutcome::LoadFailed,
                    {{"Не удалось открыть файл сценария IVR!",
                      "/s/gone.ivr: No such file or directory (указан в /s/main.ivr:2)"},
                     {text::kLoadFailed, ""}}},
        CommandCase{"stream-refused",
                    [](auto&, test::CMemoryOutput& output) { output.m_bFailStream = true; },
                    FlowOutcome::WriteFailed,
                    {{text::kCannotWriteFlow, "/s/flow.json: Permission denied"}}},
        CommandCase{"commit-fails",
                    [](auto&, test::CMemoryOutput& output) { output.m_bFailCommit = true; },
                    FlowOutcome::WriteFailed,
                    {{text::kCannotWriteFlow, "/s/flow.json: Input/output error"}}}));

// ---------------------------------------------------------------------------------------------

struct ModuleCase {
  const char* szName;
  std::string strPath;
  const char* szReason; ///< a part of the reason
};

class BrokenModules : public testing::TestWithParam<ModuleCase> {};

TEST_P(BrokenModules, AreRefusedWithTheLoadersReason) {
  std::string strReason;
  EXPECT_EQ(CDiagramModule::LoadFrom(GetParam().strPath, strReason), nullptr);
  EXPECT_NE(strReason.find(GetParam().szReason), std::string::npos) << strReason;
  EXPECT_NE(strReason.find(GetParam().strPath), std::string::npos) << strReason;
}

INSTANTIATE_TEST_SUITE_P(
    Modules, BrokenModules,
    testing::Values(ModuleCase{"missing", "/nonexistent/dovetrel-graphviz.so", "No such file"},
                    ModuleCase{"not-a-library", DOVETREL_SOURCE_DIR "/README.md", "invalid ELF"},
                    ModuleCase{"not-ours", "libm.so.6", "DovetrelDiagramModule"}));

} // namespace
} // namespace dovetrel
