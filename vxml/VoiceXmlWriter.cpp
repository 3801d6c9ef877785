#include "vxml/VoiceXmlWriter.h"

#include "scenario/Paths.h"
#include "vxml/ClassicWriter.h"
#include "vxml/TextCodec.h"
#include "vxml/Texts.h"
#include "vxml/W3cWriter.h"

namespace dovetrel {

namespace {

/// Rows every scenario starts with, in the reader's order.
constexpr EntryKind kScenarioHead[] = {kindScenarioFile, kindTimeout, kindGreeting, kindInputField,
                                       kindFilled};
constexpr int kHeadRows = 5;

/// The first row at which the table departs from the shape the reader gives it (every scenario
/// opens with its five head rows, and head kinds stand nowhere else), or -1. Only a table of that
/// shape closes every element it opens.
int FindMisshapenRow(const CScenarioTable& table) {
  int nHead = -1; // head rows of the current scenario seen so far; -1 before the first one
  for (int i = 0; i < table.Count(); ++i) {
    const EntryKind kind = table.Entry(i).kind;
    const bool bInHead = nHead >= 0 && nHead < kHeadRows;
    if (kind == kindScenarioFile && !bInHead) {
      nHead = 1;
      continue;
    }
    if (nHead < 0)
      return i;
    if (bInHead ? kind != kScenarioHead[nHead] : kind >= kindScenarioFile && kind <= kindTimeout)
      return i;
    nHead += bInHead ? 1 : 0;
  }
  if (nHead == kHeadRows)
    return -1;
  return table.Count() > 0 ? table.Count() - 1 : 0;
}

bool Fail(IMessageSink& messages, FindingCode code, std::string_view text, const Finding& where) {
  ShowFailure(messages, code, text, where);
  return false;
}

/// The classic document of \p table; see WriteVoiceXml.
bool WriteClassic(const std::string& strPath, const CScenarioTable& table,
                  const WriteContext& context) {
  Finding where{.strFile = strPath};
  const std::string strEncoding =
      context.strEncoding.empty() ? DetectSourceEncoding(table) : context.strEncoding;
  const auto pOutput = CDocumentOutput::Open(strPath, strEncoding, context.output, where.strNote);
  if (!pOutput)
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  CClassicWriter writer(table, *pOutput);
  if (!writer.WriteDocumentStart()) {
    where.strNote = pOutput->Reason();
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  int nFailed = FindMisshapenRow(table);
  if (nFailed < 0)
    nFailed = writer.WriteRows();
  if (nFailed >= 0)
    return Fail(context.messages, FindingCode::CannotWriteElement, text::kCannotWriteElement,
                {.strFile = table.SourcePathOfRow(nFailed), .nLine = writer.FailingLine(nFailed)});
  if (!writer.WriteDocumentEnd()) {
    where.strNote = pOutput->Reason();
    return Fail(context.messages, FindingCode::CannotWriteEnd, text::kCannotWriteEnd, where);
  }
  return true;
}

/// The standard document of \p table; see WriteVoiceXml.
bool WriteW3c(const std::string& strPath, const CScenarioTable& table,
              const WriteContext& context) {
  // The classic document written into nowhere finds the value that no document can carry, and
  // reports it as the classic conversion does.
  if (!WriteClassic(
          strPath, table,
          WriteContext{context.messages, NullXmlOutput(), context.strEncoding, Dialect::Classic}))
    return false;
  Finding where{.strFile = strPath};
  const std::string strEncoding =
      context.strEncoding.empty() ? DetectSourceEncoding(table) : context.strEncoding;
  const auto pOutput = CDocumentOutput::Open(strPath, strEncoding, context.output, where.strNote);
  if (!pOutput)
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  const CallFlow flow = BuildCallFlow(table);
  CW3cWriter writer(flow, *pOutput);
  if (!writer.WriteDocumentStart()) {
    where.strNote = pOutput->Reason();
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  if (!writer.WriteMenus())
    return Fail(context.messages, FindingCode::CannotWriteElement, text::kCannotWriteElement,
                {.strFile = writer.FailedAt().strFile, .nLine = writer.FailedAt().nLine});
  if (!writer.WriteDocumentEnd()) {
    where.strNote = pOutput->Reason();
    return Fail(context.messages, FindingCode::CannotWriteEnd, text::kCannotWriteEnd, where);
  }
  return true;
}

} // namespace

bool WriteVoiceXml(const std::string& strPath, const CScenarioTable& table,
                   const WriteContext& context) {
  return context.dialect == Dialect::W3c ? WriteW3c(strPath, table, context)
                                         : WriteClassic(strPath, table, context);
}

bool CClassicWriter::WriteDocumentStart() {
  return m_output.StartElement("vxml");
}

int CClassicWriter::WriteRows() {
  for (int i = 0; i < m_table.Count(); ++i)
    if (!WriteScenarioEntry(m_table.Entry(i), i))
      return i;
  return -1;
}

bool CClassicWriter::WriteDocumentEnd() {
  return m_output.EndElement() && m_output.StartElement("disconnect") && m_output.Finish();
}

int CClassicWriter::FailingLine(int nIndex) {
  if (nIndex >= m_table.Count())
    return 0;
  // A field row that can carry its own name failed for its no-input handler, whose line that is.
  const ScenarioEntry& row = m_table.Entry(nIndex);
  if (row.kind == kindInputField && m_output.CanCarry(row.text))
    if (const ScenarioEntry* pNoInput = m_table.FindKeyHandler(nIndex, keyNoInput))
      return pNoInput->line;
  return row.line;
}

bool CClassicWriter::WriteScenarioEntry(const ScenarioEntry& row, int nIndex) {
  switch (row.kind) {
  case kindScenarioFile:
    return WriteFormStart(row.text);
  case kindTimeout:
    return WriteTimeoutProperty(row.text);
  case kindGreeting:
    return WriteGreetingAudio(row.text);
  case kindInputField:
    return WriteInputField(row.text, nIndex);
  case kindFilled:
    return WriteFilledBlock(row.text);
  case kindMenu:
  case kindDial:
  case kindDisconnect:
    // No-input and busy rows are written only as the handlers they stand for.
    if (row.key == keyNoInput || row.key == keyBusy)
      return true;
    return WriteKeyCondition(nIndex, false, row);
  case kindUnknown:
    break;
  }
  return true;
}

bool CClassicWriter::WriteFormStart(std::string_view text) {
  if (!m_bFirstForm) {
    const bool bClosed = m_output.EndElement() && m_output.EmptyElement("disconnect") &&
                         m_output.EndElement() && m_output.EndElement();
    if (!bClosed)
      return false;
  }
  if (!m_output.StartElement("form") || !m_output.ValueAttribute("id", ScenarioName(text)) ||
      !m_output.StartElement("block"))
    return false;
  m_bFirstForm = false;
  return true;
}

bool CClassicWriter::WriteTimeoutProperty(std::string_view text) {
  return m_output.StartElement("property") && m_output.ConstantAttribute("name", "timeout") &&
         m_output.ValueAttribute("value", text) && m_output.EndElement();
}

bool CClassicWriter::WriteGreetingAudio(std::string_view text) {
  return m_output.StartElement("audio") && m_output.ValueAttribute("src", text) &&
         m_output.EndElement();
}

bool CClassicWriter::WriteInputField(std::string_view text, int nIndex) {
  m_strFieldName = text;
  if (!m_output.StartElement("field") || !m_output.ValueAttribute("name", text))
    return false;
  // The no-input search is the key search from the field row: it never leaves the scenario.
  const ScenarioEntry* pNoInput = m_table.FindKeyHandler(nIndex, keyNoInput);
  if (pNoInput && !WriteNoInputHandler(nIndex, pNoInput->kind, pNoInput->text))
    return false;
  return m_output.EndElement();
}

bool CClassicWriter::WriteNoInputHandler(int nFieldIndex, EntryKind kind, std::string_view text) {
  return m_output.StartElement("noinput") && WriteKeyAction(nFieldIndex, false, kind, text) &&
         m_output.EndElement();
}

bool CClassicWriter::WriteFilledBlock(std::string_view text) {
  m_strFieldName = text;
  return m_output.StartElement("filled") && m_output.ValueAttribute("name", text);
}

} // namespace dovetrel
