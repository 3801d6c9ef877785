#include "vxml/VoiceXmlWriter.h"

#include "vxml/ClassicWriter.h"
#include "vxml/Texts.h"
#include "vxml/W3cWriter.h"

namespace dovetrel {

namespace {

bool Fail(IMessageSink& messages, FindingCode code, std::string_view text, const Finding& where) {
  ShowFailure(messages, code, text, where);
  return false;
}

/// Writes the document of \p writer, a CClassicWriter or a CW3cWriter, into \p output; \p where
/// names the target. Shows one message, for the stage that failed.
template <class TWriter>
bool WriteStages(TWriter& writer, CDocumentOutput& output, IMessageSink& messages,
                 Finding where) {
  if (!writer.WriteDocumentStart()) {
    where.strNote = output.Reason();
    return Fail(messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  if (!writer.WriteMenus())
    return Fail(messages, FindingCode::CannotWriteElement, text::kCannotWriteElement,
                {.strFile = writer.FailedAt().strFile, .nLine = writer.FailedAt().nLine});
  if (!writer.WriteDocumentEnd()) {
    where.strNote = output.Reason();
    return Fail(messages, FindingCode::CannotWriteEnd, text::kCannotWriteEnd, where);
  }
  return true;
}

} // namespace

bool WriteVoiceXml(const std::string& strPath, const CScenarioTable& table,
                   const WriteContext& context) {
  Finding where{.strFile = strPath};
  const std::string strEncoding =
      context.strEncoding.empty() ? DetectSourceEncoding(table) : context.strEncoding;
  auto pCodec = CTextCodec::Open(strEncoding);
  if (!pCodec) {
    where.strNote = "unknown encoding " + strEncoding;
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  const CallFlow flow = BuildCallFlow(table);
  // The standard document leaves rows out; it fails where the classic one would, before a file
  // is touched.
  if (context.dialect == Dialect::W3c)
    if (const std::optional<SourcePlace> unwritable = FindUnwritableRow(flow, *pCodec))
      return Fail(context.messages, FindingCode::CannotWriteElement, text::kCannotWriteElement,
                  {.strFile = unwritable->strFile, .nLine = unwritable->nLine});
  const auto pOutput =
      CDocumentOutput::Open(strPath, std::move(pCodec), context.output, where.strNote);
  if (!pOutput)
    return Fail(context.messages, FindingCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  if (context.dialect == Dialect::W3c) {
    CW3cWriter writer(flow, *pOutput);
    return WriteStages(writer, *pOutput, context.messages, where);
  }
  CClassicWriter writer(flow, *pOutput);
  return WriteStages(writer, *pOutput, context.messages, where);
}

} // namespace dovetrel
