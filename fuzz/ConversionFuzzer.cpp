// The whole conversion under libFuzzer: each input (an optional code page line, then the files)
// becomes a scenario set of up to eight files in a private directory, is converted by
// RunConversion into a target that already holds a known document, and every promise of the
// conversion is checked; a set that converts has its call flow drawn as DOT and read back, and a
// short call run through both its documents, which must make the call the flow predicts. A broken
// promise aborts, which libFuzzer reports as a crash with the input that caused it.

#include "call/CallSetup.h"
#include "convert/Conversion.h"
#include "convert/Texts.h"
#include "diagram/DiagramModule.h"
#include "diagram/FlowText.h"
#include "flow/CallFlow.h"
#include "fuzz/FuzzScenarioSet.h"
#include "tests/support/FlowWalker.h"
#include "tests/support/MemoryOutput.h"
#include "tests/support/TempDir.h"
#include "tests/support/Vxml21Schema.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"
#include "vxml/VoiceXmlWriter.h"

#include <cgraph.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace dovetrel::fuzz {

namespace {

constexpr const char* kTarget = "out.vxml";
constexpr std::string_view kPrevious = "<previous document, never to be lost/>\n";

[[noreturn]] void Violated(const std::string& strPromise) {
  std::fprintf(stderr, "broken promise: %s\n", strPromise.c_str());
  std::abort();
}

void Require(bool bHolds, const std::string& strPromise) {
  if (!bHolds)
    Violated(strPromise);
}

/// Counts the summary messages, each of which must be the last message of its run.
class CSummarySink final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding& finding, MessageKind /*kind*/) override {
    const std::string_view text = finding.strText;
    Require(m_nSummaries == 0, "nothing is shown after the summary");
    static constexpr std::string_view kSummaries[] = {text::kNameMissing, text::kLoadFailed,
                                                      text::kConvertFailed, text::kConverted};
    if (std::find(std::begin(kSummaries), std::end(kSummaries), text) != std::end(kSummaries)) {
      ++m_nSummaries;
      m_strSummary = text;
    }
    return MessageReply::Ok;
  }

  int m_nSummaries = 0;
  std::string m_strSummary;
};

/// The form ids the table's scenario files must become, in table order, in UTF-8.
std::vector<std::string> ExpectedFormIds(const CScenarioTable& table,
                                         const std::string& strEncoding) {
  auto pCodec = CTextCodec::Open(strEncoding.empty() ? DetectSourceEncoding(table) : strEncoding);
  Require(pCodec != nullptr, "the detected code page can be opened");
  std::vector<std::string> ids;
  std::string strId;
  for (const ScenarioEntry& row : table.Entries()) {
    if (row.kind != kindScenarioFile)
      continue;
    Require(pCodec->ToXmlUtf8(ScenarioName(row.text), strId), "a written form id converts");
    ids.push_back(strId);
  }
  return ids;
}

void CollectFormIds(xmlNode* pNode, std::vector<std::string>& ids) {
  for (; pNode; pNode = pNode->next) {
    if (pNode->type != XML_ELEMENT_NODE)
      continue;
    if (std::strcmp(reinterpret_cast<const char*>(pNode->name), "form") == 0) {
      xmlChar* pId = xmlGetProp(pNode, reinterpret_cast<const xmlChar*>("id"));
      Require(pId != nullptr, "every form has an id");
      ids.emplace_back(reinterpret_cast<const char*>(pId));
      xmlFree(pId);
    }
    CollectFormIds(pNode->children, ids);
  }
}

/// The document is well-formed UTF-8 XML rooted at vxml, one form per scenario file of the table.
void CheckDocument(const std::string& strDocument, const CScenarioTable& table,
                   const std::string& strEncoding) {
  Require(IsUtf8(strDocument), "the document is UTF-8");
  xmlDoc* pDoc = xmlReadMemory(strDocument.data(), static_cast<int>(strDocument.size()), kTarget,
                               nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  Require(pDoc != nullptr, "the document is well-formed XML");
  Require(pDoc->encoding &&
              std::strcmp(reinterpret_cast<const char*>(pDoc->encoding), "UTF-8") == 0,
          "the document declares UTF-8");
  xmlNode* pRoot = xmlDocGetRootElement(pDoc);
  Require(pRoot && std::strcmp(reinterpret_cast<const char*>(pRoot->name), "vxml") == 0,
          "the root is vxml");
  std::vector<std::string> ids;
  CollectFormIds(pRoot, ids);
  xmlFreeDoc(pDoc);
  Require(ids == ExpectedFormIds(table, strEncoding), "the forms are the table's scenario files");
  Require(ids.size() == table.FilePaths().size(), "one form per file read");
}

/// Nodes the diagram of \p step adds: none for a menu the set read, one for anything else, and
/// the busy step of a dial.
int StepNodes(const FlowStep& step, const std::optional<FlowStep>& busy = std::nullopt) {
  const int nOwn = step.kind == ActionKind::Menu && step.nTargetMenu >= 0 ? 0 : 1;
  return nOwn + (step.kind == ActionKind::Dial && busy ? StepNodes(*busy) : 0);
}

/// The nodes the diagram of \p flow must have, counted from the model alone.
int ExpectedNodes(const CallFlow& flow) {
  int nNodes = 0;
  for (const FlowMenu& menu : flow.menus) {
    nNodes += 1 + static_cast<int>(menu.inert.size());
    for (const KeyAction& key : menu.keys)
      nNodes += StepNodes(key.action, key.action.busy);
    if (menu.noInput)
      nNodes += StepNodes(*menu.noInput, menu.noInput->busy);
  }
  return nNodes;
}

/// The call flow of a set that converts has a diagram whose DOT Graphviz reads back, a node for
/// every menu, step and inert row.
void CheckDiagram(const CScenarioTable& table, const std::string& strEncoding) {
  const CallFlow flow = BuildCallFlow(table);
  const auto pText =
      CFlowText::Open(strEncoding.empty() ? DetectSourceEncoding(table) : strEncoding);
  Require(pText != nullptr, "the set's code page opens for the diagram");
  std::string strDot;
  std::string strReason;
  Require(DovetrelDiagramModule()->pRender(BuildDiagramGraph(flow, *pText), FlowFormat::Dot, strDot,
                                           strReason),
          "the diagram's DOT is written: " + strReason);
  Agraph_t* pGraph = agmemread(strDot.c_str());
  Require(pGraph != nullptr, "Graphviz reads the diagram's DOT back");
  const int nNodes = agnnodes(pGraph);
  agclose(pGraph);
  Require(nNodes == ExpectedNodes(flow), "the DOT has a node for every menu, step and inert row");
}

/// What one run left behind: the directory holds the inputs and the target, nothing else.
void CheckDirectory(const test::CTempDir& dir, std::vector<std::string> names) {
  names.emplace_back(kTarget);
  std::sort(names.begin(), names.end());
  Require(dir.Names() == names, "no temporary or other file is left in the directory");
}

/// One conversion of the set in \p dir over a target holding \p previous; returns what the
/// target holds afterwards.
std::string ConvertOnce(const test::CTempDir& dir, CScenarioTable& table,
                        const std::vector<std::string>& names, const std::string& strEncoding,
                        std::string_view previous, ConversionOutcome& outcome) {
  CConfinedFiles files;
  ConversionOptions options;
  options.pFiles = &files;
  options.strEncoding = strEncoding;
  CSummarySink messages;
  std::string strBaseDir;
  const int nDescriptors = test::CountOpenDescriptors();
  try {
    outcome = RunConversion(names.front(), kTarget, strBaseDir, table, messages, options);
  } catch (const CFileReadError& error) {
    Violated(std::string("a regular file reads to its end: ") + error.what());
  }
  Require(test::CountOpenDescriptors() == nDescriptors, "no file descriptor is left open");
  Require(messages.m_nSummaries == 1, "exactly one summary message");
  Require(outcome != ConversionOutcome::NameMissing, "both names are given, so neither is missing");
  const std::vector<std::string>& read = table.FilePaths();
  const bool bReadsTarget = std::any_of(read.begin(), read.end(), [](const std::string& strPath) {
    return NamePart(strPath) == kTarget;
  });
  Require(outcome == ConversionOutcome::LoadFailed ||
              bReadsTarget == (outcome == ConversionOutcome::TargetIsScenario),
          "a target that is a file of the set is refused, and only such a target");
  Require((outcome == ConversionOutcome::Converted) == (messages.m_strSummary == text::kConverted),
          "the summary tells the outcome");
  CheckDirectory(dir, names);
  std::string strTarget = dir.Read(kTarget);
  if (outcome == ConversionOutcome::Converted) {
    CheckDocument(strTarget, table, strEncoding);
    CheckDiagram(table, strEncoding);
  } else
    Require(strTarget == previous, "a failure leaves the previous document byte for byte");
  return strTarget;
}

/// W3C's schema, or null after one notice on standard error: a clone without the schema beside it
/// fuzzes all the same, without validating standard documents.
const test::CVxml21Schema* SchemaOrNotice() {
  const test::CVxml21Schema* pSchema = test::CVxml21Schema::Get();
  if (pSchema == nullptr)
    std::fprintf(stderr,
                 "fuzz: SKIPPED validating standard documents: W3C's VoiceXML 2.1 schema "
                 "is not at %s\n",
                 test::CVxml21Schema::Location().c_str());
  return pSchema;
}

/// The set in the working directory converts in the standard dialect exactly when it converts in
/// the classic one (\p classic), with the same summary, and its document is valid against W3C's
/// schema.
void CheckStandardDocument(const std::vector<std::string>& names, const std::string& strEncoding,
                           ConversionOutcome classic) {
  CConfinedFiles files;
  test::CMemoryOutput output;
  ConversionOptions options;
  options.pFiles = &files;
  options.pOutput = &output;
  options.strEncoding = strEncoding;
  options.dialect = Dialect::W3c;
  CSummarySink messages;
  CScenarioTable table;
  std::string strBaseDir;
  const ConversionOutcome outcome =
      RunConversion(names.front(), kTarget, strBaseDir, table, messages, options);
  Require(outcome == classic, "a set converts in the standard dialect exactly when in the classic");
  if (outcome != ConversionOutcome::Converted)
    return;
  static const test::CVxml21Schema* pSchema = SchemaOrNotice();
  if (pSchema == nullptr)
    return;
  std::string strErrors;
  Require(pSchema->Validate(output.m_strDocument, strErrors),
          "the standard document is valid: " + strErrors);
}

/// Accepts every message: CheckCalls converts sets whose messages the runs above have checked.
class CIgnoredMessages final : public IMessageSink {
public:
  MessageReply ShowMessage(const Finding&, MessageKind) override { return MessageReply::Ok; }
};

/// A short call through both documents of the set in the working directory, its events chosen
/// along the call from a seed of \p input: each document must make the call the flow model
/// predicts.
void CheckCalls(const std::vector<std::string>& names, const std::string& strEncoding,
                std::string_view input) {
  CConfinedFiles files;
  CIgnoredMessages messages;
  ConversionOptions options;
  options.pFiles = &files;
  options.strEncoding = strEncoding;
  const std::optional<CallSet> classic = ConvertForCall(names.front(), messages, options);
  options.dialect = Dialect::W3c;
  const std::optional<CallSet> standard = ConvertForCall(names.front(), messages, options);
  Require(classic.has_value() == standard.has_value(),
          "a set converts for a call in both dialects or in neither");
  if (!classic)
    return;
  std::uint32_t nSeed = 2166136261u; // FNV-1a of the input
  for (const char c : input)
    nSeed = (nSeed ^ static_cast<unsigned char>(c)) * 16777619u;
  test::CEventChooser chooser(nSeed);
  const std::vector<std::string> events = chooser.Events(*classic, 20);
  for (const auto& [dialect, pSet] :
       {std::pair{Dialect::Classic, &*classic}, std::pair{Dialect::W3c, &*standard}}) {
    const test::CheckedCall checked = test::CheckCallAgainstFlow(*pSet, dialect, events);
    Require(checked.strMismatch.empty(),
            "a call makes the call the flow predicts: " + checked.strMismatch + "document:\n" +
                pSet->strDocument);
  }
}

} // namespace

} // namespace dovetrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  using namespace dovetrel;
  using namespace dovetrel::fuzz;
  // One directory for every input, in memory where possible, emptied before each. The sets are
  // converted from inside it by relative paths, so that no byte of the directory's random name
  // reaches a message or a comparison: the same seed explores the same inputs on every run.
  static const test::CTempDir dir(test::MemoryBackedParent());
  static const bool bInside = ::chdir(dir.Path().c_str()) == 0;
  if (!bInside)
    Violated("the fuzzer works inside its directory " + dir.Path());
  dir.Clean();
  std::string_view input(reinterpret_cast<const char*>(pData), nSize);
  const std::string strEncoding = TakeEncoding(input);
  std::vector<std::string> names;
  for (const ScenarioFile& file : SplitInput(input)) {
    dir.Write(file.strName, file.content);
    names.push_back(file.strName);
  }
  dir.Write(kTarget, kPrevious);

  // One table serves both runs, as in the dialog: the second must not see the first.
  CScenarioTable table;
  ConversionOutcome first{};
  const std::string strFirst = ConvertOnce(dir, table, names, strEncoding, kPrevious, first);
  ConversionOutcome second{};
  const std::string strSecond = ConvertOnce(dir, table, names, strEncoding, strFirst, second);
  Require(second == first && strSecond == strFirst, "a second run gives the same result");
  CheckStandardDocument(names, strEncoding, first);
  if (first == ConversionOutcome::Converted)
    CheckCalls(names, strEncoding, input);
  return 0;
}
