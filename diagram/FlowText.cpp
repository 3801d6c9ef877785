#include "diagram/FlowText.h"

#include "text/Escape.h"
#include "text/Utf8.h"

namespace dovetrel {

namespace {

/// The longest sequence a code page iconv knows spends on one character.
constexpr std::size_t kMaxSequence = 4;

bool IsControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 0x20 || b == 0x7F;
}

} // namespace

std::unique_ptr<CFlowText> CFlowText::Open(const std::string& strEncoding) {
  std::unique_ptr<CTextCodec> pCodec = CTextCodec::Open(strEncoding);
  if (!pCodec)
    return nullptr;
  return std::unique_ptr<CFlowText>(new CFlowText(std::move(pCodec)));
}

void CFlowText::AppendRun(std::string_view run, std::string& strOut) {
  if (m_pCodec->ToXmlUtf8(run, m_strPiece)) {
    strOut += m_strPiece;
    return;
  }
  // Something in the run does not decode: the shortest piece at each place that does, or the byte
  // escaped.
  for (std::size_t i = 0; i < run.size();) {
    std::size_t nLength = 1;
    for (; nLength <= kMaxSequence && i + nLength <= run.size(); ++nLength)
      if (m_pCodec->ToXmlUtf8(run.substr(i, nLength), m_strPiece) && !m_strPiece.empty())
        break;
    if (nLength > kMaxSequence || i + nLength > run.size()) {
      AppendHexEscape(strOut, run[i++]);
      continue;
    }
    strOut += m_strPiece;
    i += nLength;
  }
}

std::string CFlowText::Decode(std::string_view bytes) {
  std::string strOut;
  for (std::size_t i = 0; i < bytes.size();) {
    if (IsControlByte(bytes[i])) {
      strOut += EscapeControls(bytes.substr(i++, 1));
      continue;
    }
    std::size_t nEnd = i;
    while (nEnd < bytes.size() && !IsControlByte(bytes[nEnd]))
      ++nEnd;
    AppendRun(bytes.substr(i, nEnd - i), strOut);
    i = nEnd;
  }
  // C1 controls come out of the code page as characters: escaped here.
  return EscapeControls(strOut);
}

std::string CFlowText::DecodePath(std::string_view path) {
  return DecodeQuoting(path);
}

std::string CFlowText::DecodeQuoting(std::string_view text) {
  std::string strOut;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t nEnd = i;
    while (nEnd < text.size() && Utf8SequenceLength(text, nEnd) == 0)
      ++nEnd;
    if (nEnd > i) {
      strOut += Decode(text.substr(i, nEnd - i));
      i = nEnd;
      continue;
    }
    const std::size_t nLength = Utf8SequenceLength(text, i);
    strOut += text.substr(i, nLength);
    i += nLength;
  }
  return EscapeControls(strOut);
}

} // namespace dovetrel
