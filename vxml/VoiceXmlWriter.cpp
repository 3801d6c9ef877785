#include "vxml/VoiceXmlWriter.h"

#include "scenario/ScenarioReader.h"
#include "scenario/Tokenize.h"
#include "vxml/TextCodec.h"
#include "vxml/Texts.h"
#include "vxml/WriterCalls.h"

namespace dovetrel {

namespace {

/// Rows every scenario starts with, in the reader's order.
constexpr EntryKind kScenarioHead[] = {kindScenarioFile, kindTimeout, kindGreeting, kindInputField,
                                       kindFilled};
constexpr int kHeadRows = 5;

/// The first row at which the table departs from the shape the reader gives it (every scenario
/// opens with its five head rows, and head kinds stand nowhere else), or -1. Only a table of that
/// shape closes every element it opens.
int FindMisshapenRow(const CScenarioConverter& converter) {
  int nHead = -1; // head rows of the current scenario seen so far; -1 before the first one
  for (int i = 0; i < converter.m_nCount; ++i) {
    const EntryKind kind = converter.m_pEntries[i].kind;
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
  return converter.m_nCount > 0 ? converter.m_nCount - 1 : 0;
}

void ReleaseOutput(CScenarioConverter& converter) {
  // The writer may still push buffered text into the stream, so it goes first; an uncommitted
  // stream then takes its text away with it.
  converter.m_pWriter.reset();
  converter.m_pCodec.reset();
  converter.m_pStream.reset();
}

template <class T> void Destroy(T* p) {
  delete p;
}

/// Closes the last scenario and the document, flushes it and puts it in place of the target.
bool WriteDocumentEnd(CScenarioConverter& converter) {
  IXmlWriter& writer = *converter.m_pWriter;
  return writer.WriteEndElement() >= 0 && writer.WriteStartElement("disconnect") >= 0 &&
         writer.WriteEndDocument() >= 0 && writer.Flush() >= 0 && converter.m_pStream->Commit();
}

bool Fail(IMessageSink& messages, std::string_view text, const MessageDetail& where,
          CScenarioConverter& converter) {
  messages.ShowMessage(text, MessageKind::Warning, where);
  ReleaseOutput(converter);
  return false;
}

/// The line to blame when row \p nIndex could not be written. A field row that can carry its
/// own name failed for its no-input handler, whose line that is.
int FailingLine(CScenarioConverter& converter, int nIndex) {
  if (nIndex >= converter.m_nCount)
    return 0;
  const ScenarioEntry& row = converter.m_pEntries[nIndex];
  if (row.kind == kindInputField && WidenToBuffer(row.text, converter))
    if (const ScenarioEntry* pNoInput = FindKeyHandler(converter, nIndex, keyNoInput))
      return pNoInput->line;
  return row.line;
}

/// Reports that row \p nIndex could not be written, at the line it came from.
bool FailRow(IMessageSink& messages, int nIndex, CScenarioConverter& converter) {
  const int nLine = FailingLine(converter, nIndex);
  return Fail(messages, text::kCannotWriteElement,
              MessageDetail{converter.SourcePathOfRow(nIndex), nLine, {}}, converter);
}

} // namespace

bool OpenVoiceXmlOutput(const std::string& strPath, CScenarioConverter& converter,
                        const WriteContext& context, std::string& strReason) {
  const std::string strEncoding =
      context.strEncoding.empty() ? DetectSourceEncoding(converter) : context.strEncoding;
  auto pCodec = CTextCodec::Open(strEncoding);
  if (!pCodec) {
    strReason = "unknown encoding " + strEncoding;
    return false;
  }
  converter.m_pCodec = WriterRef<CTextCodec>(pCodec.release(), Destroy<CTextCodec>);
  converter.m_pStream = WriterRef<IOutputStream>(
      context.output.CreateStream(strPath, strReason).release(), Destroy<IOutputStream>);
  if (!converter.m_pStream)
    return false;
  converter.m_pWriter =
      WriterRef<IXmlWriter>(context.output.CreateWriter().release(), Destroy<IXmlWriter>);
  IXmlWriter* pWriter = converter.m_pWriter.get();
  const bool bOpen = pWriter && pWriter->SetOutput(*converter.m_pStream) >= 0 &&
                     pWriter->SetIndentation() >= 0 && pWriter->WriteStartDocument() >= 0 &&
                     pWriter->WriteStartElement("vxml") >= 0;
  if (!bOpen)
    strReason = converter.m_pStream->Reason();
  return bOpen;
}

bool WriteVoiceXml(const std::string& strPath, CScenarioConverter& converter,
                   const WriteContext& context) {
  MessageDetail where{FullPath(strPath), 0, {}};
  if (!OpenVoiceXmlOutput(strPath, converter, context, where.strNote))
    return Fail(context.messages, text::kCannotWriteHeader, where, converter);
  converter.m_bFirstForm = true;
  const int nMisshapen = FindMisshapenRow(converter);
  if (nMisshapen >= 0)
    return FailRow(context.messages, nMisshapen, converter);
  for (int i = 0; i < converter.m_nCount; ++i)
    if (!WriteScenarioEntry(converter.m_pEntries[i], i, converter))
      return FailRow(context.messages, i, converter);
  if (!WriteDocumentEnd(converter)) {
    where.strNote = converter.m_pStream->Reason();
    return Fail(context.messages, text::kCannotWriteEnd, where, converter);
  }
  ReleaseOutput(converter);
  return true;
}

bool WriteScenarioEntry(const ScenarioEntry& row, int nIndex, CScenarioConverter& converter) {
  switch (row.kind) {
  case kindScenarioFile:
    return WriteFormStart(row.text, converter);
  case kindTimeout:
    return WriteTimeoutProperty(converter, row.text);
  case kindGreeting:
    return WriteGreetingAudio(converter, row.text);
  case kindInputField:
    return WriteInputField(row.text, converter, nIndex);
  case kindFilled:
    return WriteFilledBlock(converter, row.text);
  case kindMenu:
  case kindDial:
  case kindDisconnect:
    // No-input and busy rows are written only as the handlers they stand for.
    if (row.key == keyNoInput || row.key == keyBusy)
      return true;
    return WriteKeyCondition(converter, nIndex, false, row);
  case kindUnknown:
    break;
  }
  return true;
}

bool WriteFormStart(std::string_view text, CScenarioConverter& converter) {
  using namespace calls;
  if (!converter.m_bFirstForm) {
    const bool bClosed = EndElement(converter) && EmptyElement(converter, "disconnect") &&
                         EndElement(converter) && EndElement(converter);
    if (!bClosed)
      return false;
  }
  if (!StartElement(converter, "form") || !ValueAttribute(converter, "id", ScenarioName(text)) ||
      !StartElement(converter, "block"))
    return false;
  converter.m_bFirstForm = false;
  return true;
}

bool WriteTimeoutProperty(CScenarioConverter& converter, std::string_view text) {
  using namespace calls;
  return StartElement(converter, "property") && ConstantAttribute(converter, "name", "timeout") &&
         ValueAttribute(converter, "value", text) && EndElement(converter);
}

bool WriteGreetingAudio(CScenarioConverter& converter, std::string_view text) {
  using namespace calls;
  return StartElement(converter, "audio") && ValueAttribute(converter, "src", text) &&
         EndElement(converter);
}

bool WriteInputField(std::string_view text, CScenarioConverter& converter, int nIndex) {
  using namespace calls;
  converter.m_strFieldName = text;
  if (!StartElement(converter, "field") || !ValueAttribute(converter, "name", text))
    return false;
  // The no-input search is the key search from the field row: it never leaves the scenario.
  const ScenarioEntry* pNoInput = FindKeyHandler(converter, nIndex, keyNoInput);
  if (pNoInput && !WriteNoInputHandler(converter, nIndex, pNoInput->kind, pNoInput->text))
    return false;
  return EndElement(converter);
}

bool WriteNoInputHandler(CScenarioConverter& converter, int nFieldIndex, EntryKind kind,
                         std::string_view text) {
  using namespace calls;
  return StartElement(converter, "noinput") &&
         WriteKeyAction(converter, nFieldIndex, false, kind, text) && EndElement(converter);
}

bool WriteFilledBlock(CScenarioConverter& converter, std::string_view text) {
  using namespace calls;
  converter.m_strFieldName = text;
  return StartElement(converter, "filled") && ValueAttribute(converter, "name", text);
}

const char* WidenToBuffer(std::string_view text, CScenarioConverter& converter) {
  if (!converter.m_pCodec ||
      !converter.m_pCodec->ToXmlUtf8(text, converter.m_wszBuffer, sizeof converter.m_wszBuffer))
    return nullptr;
  return converter.m_wszBuffer;
}

std::string_view ScenarioName(std::string_view text) {
  std::ptrdiff_t nPos = 0;
  return Tokenize(text, ".", nPos);
}

} // namespace dovetrel
