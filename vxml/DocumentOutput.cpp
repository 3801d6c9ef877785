#include "vxml/DocumentOutput.h"

namespace dovetrel {

CDocumentOutput::CDocumentOutput(std::unique_ptr<CTextCodec> pCodec,
                                 std::unique_ptr<IOutputStream> pStream)
    : m_pCodec(std::move(pCodec)), m_pStream(std::move(pStream)) {}

CDocumentOutput::~CDocumentOutput() {
  // The writer may still push buffered text into the stream, so it goes first; an uncommitted
  // stream then takes its text away with it.
  m_pWriter.reset();
  m_pStream.reset();
}

std::unique_ptr<CDocumentOutput> CDocumentOutput::Open(const std::string& strPath,
                                                       const std::string& strEncoding,
                                                       IXmlOutputFactory& factory,
                                                       std::string& strReason) {
  auto pCodec = CTextCodec::Open(strEncoding);
  if (!pCodec) {
    strReason = "unknown encoding " + strEncoding;
    return nullptr;
  }
  auto pStream = factory.CreateStream(strPath, strReason);
  if (!pStream)
    return nullptr;
  std::unique_ptr<CDocumentOutput> pOutput(
      new CDocumentOutput(std::move(pCodec), std::move(pStream)));
  pOutput->m_pWriter = factory.CreateWriter();
  IXmlWriter* pWriter = pOutput->m_pWriter.get();
  const bool bOpen = pWriter && pWriter->SetOutput(*pOutput->m_pStream) >= 0 &&
                     pWriter->SetIndentation() >= 0 && pWriter->WriteStartDocument() >= 0;
  if (!bOpen) {
    strReason = pOutput->Reason();
    return nullptr;
  }
  return pOutput;
}

bool CDocumentOutput::StartElement(const char* szName) {
  return m_pWriter->WriteStartElement(szName) >= 0;
}

bool CDocumentOutput::EndElement() {
  return m_pWriter->WriteEndElement() >= 0;
}

bool CDocumentOutput::EmptyElement(const char* szName) {
  return StartElement(szName) && EndElement();
}

bool CDocumentOutput::ConstantAttribute(const char* szName, const char* szValue) {
  return m_pWriter->WriteAttributeString(szName, szValue) >= 0;
}

bool CDocumentOutput::ValueAttribute(const char* szName, std::string_view value) {
  return m_pCodec->ToXmlUtf8(value, m_strValue) && ConstantAttribute(szName, m_strValue.c_str());
}

bool CDocumentOutput::Text(const char* szText) {
  return m_pWriter->WriteString(szText) >= 0;
}

bool CDocumentOutput::CanCarry(std::string_view value) {
  return m_pCodec->ToXmlUtf8(value, m_strValue);
}

bool CDocumentOutput::Finish() {
  return m_pWriter->WriteEndDocument() >= 0 && m_pWriter->Flush() >= 0 && m_pStream->Commit();
}

} // namespace dovetrel
