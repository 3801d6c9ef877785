#include "vxml/DocumentOutput.h"

#include <algorithm>

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
                                                       std::unique_ptr<CTextCodec> pCodec,
                                                       IXmlOutputFactory& factory,
                                                       std::string& strReason) {
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

namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// True when a URI may hold ASCII character \p c as it is: the unreserved and the reserved
/// characters of RFC 3986 but for '[' and ']', which stand only in a host.
bool IsUriCharacter(char c) {
  static constexpr std::string_view kOthers = "-._~:/?#@!$&'()*+,;=";
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         kOthers.find(c) != std::string_view::npos;
}

/// True when \p text is a URI scheme: a letter, then letters, digits, '+', '-' and '.'.
bool IsScheme(std::string_view text) {
  const auto IsAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  return !text.empty() && IsAlpha(text.front()) &&
         std::all_of(text.begin(), text.end(), [&](char c) {
           return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
         });
}

/// \p utf8 with what a URI cannot hold percent-encoded: ASCII characters outside the URI's set,
/// a '%' that does not start an escape, every '#' after the first, and a ':' in the first segment
/// of a relative reference ("a:b.wav" is no scheme). Letters beyond ASCII stay.
std::string EscapeUri(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::size_t nSegmentEnd = std::min(utf8.find_first_of("/?#"), utf8.size());
  const std::size_t nColon = utf8.find(':');
  const bool bRelative = nColon >= nSegmentEnd || !IsScheme(utf8.substr(0, nColon));
  std::string strUri;
  bool bFragment = false;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == ':' && bRelative && i < nSegmentEnd) {
      strUri += "%3A";
      continue;
    }
    const bool bEscape =
        c == '%' && i + 2 < utf8.size() && IsHex(utf8[i + 1]) && IsHex(utf8[i + 2]);
    const bool bKeep = static_cast<unsigned char>(c) >= 0x80 || bEscape ||
                       (c == '#' ? !bFragment : IsUriCharacter(c));
    bFragment = bFragment || c == '#';
    if (bKeep) {
      strUri += c;
      continue;
    }
    strUri += '%';
    strUri += kHex[static_cast<unsigned char>(c) >> 4];
    strUri += kHex[static_cast<unsigned char>(c) & 0xF];
  }
  return strUri;
}

} // namespace

bool CDocumentOutput::UriAttribute(const char* szName, std::string_view value) {
  return m_pCodec->ToXmlUtf8(value, m_strValue) &&
         ConstantAttribute(szName, EscapeUri(m_strValue).c_str());
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
