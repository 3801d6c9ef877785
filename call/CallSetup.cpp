#include "call/CallSetup.h"

#include "call/Texts.h"
#include "call/Transcript.h"
#include "scenario/Paths.h"
#include "scenario/ScenarioTable.h"

namespace dovetrel {

namespace {

class CStringStream final : public IOutputStream {
public:
  explicit CStringStream(std::string& strTarget) : m_strTarget(strTarget) {}
  bool Write(const char* pData, std::size_t nSize) override {
    m_strBuffer.append(pData, nSize);
    return true;
  }
  bool Commit() override {
    m_strTarget = std::move(m_strBuffer);
    return true;
  }
  std::string Reason() const override { return {}; }

private:
  std::string& m_strTarget;
  std::string m_strBuffer;
};

/// Documents written into memory: the libxml2 writer over a string that Commit fills.
class CMemoryXmlOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& /*strPath*/,
                                              std::string& /*strReason*/) override {
    return std::make_unique<CStringStream>(m_strDocument);
  }
  std::unique_ptr<IXmlWriter> CreateWriter() override { return CreateLibXmlWriter(); }

  std::string m_strDocument; ///< the last committed document
};

} // namespace

std::optional<CallSet> ConvertForCall(const std::string& strIvrFile, IMessageSink& messages,
                                      const ConversionOptions& options) {
  CMemoryXmlOutput output;
  ConversionOptions inMemory = options;
  inMemory.pOutput = &output;
  CScenarioTable table;
  std::string strBaseDir;
  if (RunConversion(strIvrFile, ProposeVxmlName(strIvrFile, options.dialect), strBaseDir, table,
                    messages, inMemory) != ConversionOutcome::Converted)
    return std::nullopt;
  CallSet set;
  set.strDocument = std::move(output.m_strDocument);
  set.strEncoding = options.strEncoding.empty() ? DetectSourceEncoding(table) : options.strEncoding;
  set.flow = BuildCallFlow(table);
  for (const FlowMenu& menu : set.flow.menus)
    set.menus.push_back(DecodeTranscriptText(menu.strName, set.strEncoding));
  return set;
}

namespace {

/// The key a classic condition compares with ("Input_main=='1'" gives "1"), unescaped.
std::string ConditionLiteral(std::string_view cond) {
  const std::size_t nStart = cond.find("=='");
  if (nStart == std::string_view::npos || cond.size() < nStart + 4 || cond.back() != '\'')
    return {};
  std::string strLiteral;
  const std::string_view quoted = cond.substr(nStart + 3, cond.size() - nStart - 4);
  for (std::size_t i = 0; i < quoted.size(); ++i)
    strLiteral += quoted[i] == '\\' && i + 1 < quoted.size() ? quoted[++i] : quoted[i];
  return strLiteral;
}

/// The row of \p menu's key that \p strLiteral (UTF-8, or "fax") names, if one acts.
std::optional<SourcePlace> KeyRow(const FlowMenu& menu, const std::string& strLiteral,
                                  const std::string& strEncoding) {
  for (const KeyAction& key : menu.keys) {
    const std::string strKey =
        key.key == keyFax ? "fax" : DecodeTranscriptText(std::string(1, key.key), strEncoding);
    if (strKey == EscapeTranscriptText(strLiteral))
      return key.action.source;
  }
  return std::nullopt;
}

/// The first menu row that enters menu \p nMenu of \p flow.
std::optional<SourcePlace> NamingRow(const CallFlow& flow, int nMenu) {
  for (const FlowMenu& menu : flow.menus) {
    for (const KeyAction& key : menu.keys)
      if (key.action.kind == ActionKind::Menu && key.action.nTargetMenu == nMenu)
        return key.action.source;
    if (menu.noInput && menu.noInput->kind == ActionKind::Menu &&
        menu.noInput->nTargetMenu == nMenu)
      return menu.noInput->source;
  }
  return std::nullopt;
}

/// The scenario row that made the element \p fault names; see FaultFinding.
std::optional<SourcePlace> FaultPlace(const CallSet& set, Dialect dialect, const CallFault& fault) {
  if (dialect != Dialect::Classic || fault.strForm.empty())
    return std::nullopt;
  const std::string strForm = EscapeTranscriptText(fault.strForm);
  for (std::size_t i = 0; i < set.flow.menus.size(); ++i) {
    if (ScenarioName(set.menus[i]) != strForm)
      continue;
    const FlowMenu& menu = set.flow.menus[i];
    if (!fault.strCondition.empty())
      if (auto row = KeyRow(menu, ConditionLiteral(fault.strCondition), set.strEncoding))
        return row;
    if (auto row = NamingRow(set.flow, static_cast<int>(i)))
      return row;
    return SourcePlace{menu.strPath, 0};
  }
  return std::nullopt;
}

/// A compile fault of \p set's document as the error that the call cannot start: the scenario row
/// that made the element at fault as its file and line (in a classic document, the key row of the
/// condition the element stands in, otherwise the menu line that names the file of its form, the
/// main file alone when none does; no file in a standard document, whose ids are made of their
/// own), and the document's line with the fault's text as its note, "строка N документа VoiceXML:
/// TEXT".
Finding FaultFinding(const CallSet& set, Dialect dialect, const CallFault& fault) {
  Finding finding{FindingCode::CannotRunCall, Severity::Error, std::string(text::kCannotRunCall)};
  if (const std::optional<SourcePlace> place = FaultPlace(set, dialect, fault)) {
    finding.strFile = place->strFile;
    finding.nLine = place->nLine;
  }
  finding.strNote = DescribeFault(fault);
  return finding;
}

} // namespace

std::optional<PreparedCall> PrepareCall(const std::string& strIvrFile, IMessageSink& messages,
                                        const ConversionOptions& options) {
  std::optional<CallSet> set = ConvertForCall(strIvrFile, messages, options);
  if (!set)
    return std::nullopt;
  CallFault fault;
  std::unique_ptr<CCallProgram> pProgram =
      CCallProgram::Compile(set->strDocument, options.dialect, set->menus, fault);
  if (!pProgram) {
    messages.ShowMessage(FaultFinding(*set, options.dialect, fault), MessageKind::Error);
    return std::nullopt;
  }
  return PreparedCall{std::move(*set), std::move(pProgram)};
}

std::string DescribeFault(const CallFault& fault) {
  return (fault.nLine > 0 ? "строка " + std::to_string(fault.nLine) + " документа VoiceXML: "
                          : std::string("документ VoiceXML: ")) +
         fault.strText;
}

} // namespace dovetrel
