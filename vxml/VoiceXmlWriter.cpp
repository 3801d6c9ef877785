#include "vxml/VoiceXmlWriter.h"

#include "vxml/ClassicWriter.h"
#include "vxml/Texts.h"
#include "vxml/W3cWriter.h"

namespace dovetrel {

namespace {

bool Fail(IMessageSink& messages, FailureCode code, std::string_view text,
          const MessageDetail& where) {
  ShowFailure(messages, code, text, where);
  return false;
}

/// Writes the document of \p writer, a CClassicWriter or a CW3cWriter, into \p output; \p where
/// names the target. Shows one message, for the stage that failed.
template <class TWriter>
bool WriteStages(TWriter& writer, CDocumentOutput& output, IMessageSink& messages,
                 MessageDetail where) {
  if (!writer.WriteDocumentStart()) {
    where.strNote = output.Reason();
    return Fail(messages, FailureCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  if (!writer.WriteMenus())
    return Fail(messages, FailureCode::CannotWriteElement, text::kCannotWriteElement,
                MessageDetail{writer.FailedAt().strFile, writer.FailedAt().nLine, {}});
  if (!writer.WriteDocumentEnd()) {
    where.strNote = output.Reason();
    return Fail(messages, FailureCode::CannotWriteEnd, text::kCannotWriteEnd, where);
  }
  return true;
}

} // namespace

bool WriteVoiceXml(const std::string& strPath, const CScenarioTable& table,
                   const WriteContext& context) {
  MessageDetail where{strPath, 0, {}};
  const std::string strEncoding =
      context.strEncoding.empty() ? DetectSourceEncoding(table) : context.strEncoding;
  auto pCodec = CTextCodec::Open(strEncoding);
  if (!pCodec) {
    where.strNote = "unknown encoding " + strEncoding;
    return Fail(context.messages, FailureCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  }
  const CallFlow flow = BuildCallFlow(table);
  // The standard document leaves rows out; it fails where the classic one would, before a file
  // is touched.
  if (context.dialect == Dialect::W3c)
    if (const std::optional<SourcePlace> unwritable = FindUnwritableRow(flow, *pCodec))
      return Fail(context.messages, FailureCode::CannotWriteElement, text::kCannotWriteElement,
                  MessageDetail{unwritable->strFile, unwritable->nLine, {}});
  const auto pOutput =
      CDocumentOutput::Open(strPath, std::move(pCodec), context.output, where.strNote);
  if (!pOutput)
    return Fail(context.messages, FailureCode::CannotWriteHeader, text::kCannotWriteHeader, where);
  if (context.dialect == Dialect::W3c) {
    CW3cWriter writer(flow, *pOutput);
    return WriteStages(writer, *pOutput, context.messages, where);
  }
  CClassicWriter writer(flow, *pOutput);
  return WriteStages(writer, *pOutput, context.messages, where);
}

} // namespace dovetrel
