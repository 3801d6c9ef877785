#include "call/Transcript.h"

#include <iconv.h>

namespace dovetrel {

namespace {

void AppendHex(std::string& strOut, unsigned char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  strOut += "\\x";
  strOut += kDigits[c >> 4];
  strOut += kDigits[c & 0x0F];
}

/// Bytes of the well-formed UTF-8 sequence at \p i, or 0 when none starts there.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t nLength = 0;
  unsigned char nLow = 0x80;
  unsigned char nHigh = 0xBF; // bounds of the byte after the lead
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    nLength = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    nLength = 3, nLow = lead == 0xE0 ? 0xA0 : 0x80, nHigh = lead == 0xED ? 0x9F : 0xBF;
  else if (lead >= 0xF0 && lead <= 0xF4)
    nLength = 4, nLow = lead == 0xF0 ? 0x90 : 0x80, nHigh = lead == 0xF4 ? 0x8F : 0xBF;
  else
    return 0;
  if (i + nLength > s.size())
    return 0;
  for (std::size_t k = 1; k < nLength; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if (c < (k == 1 ? nLow : 0x80) || c > (k == 1 ? nHigh : 0xBF))
      return 0;
  }
  return nLength;
}

// iconv_open's documented failure value.
const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

} // namespace

std::string TranscriptLine(std::string_view word, std::string_view text) {
  std::string strLine(word);
  if (!text.empty()) {
    strLine += ' ';
    strLine += text;
  }
  return strLine;
}

std::string EscapeTranscriptText(std::string_view utf8) {
  std::string strOut;
  strOut.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t nLength = SequenceLength(utf8, i);
    if (c == '\\')
      strOut += "\\\\";
    else if (c == '\t')
      strOut += "\\t";
    else if (c == '\r')
      strOut += "\\r";
    else if (nLength == 0 || c < 0x20 || c == 0x7F)
      AppendHex(strOut, c);
    else if (c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) // C1 control
      AppendHex(strOut, static_cast<unsigned char>(utf8[i + 1]));
    else
      strOut.append(utf8.substr(i, nLength));
    i += nLength == 0 ? 1 : nLength;
  }
  return strOut;
}

std::string DecodeTranscriptText(std::string_view text, const std::string& strEncoding) {
  const iconv_t pIconv = iconv_open("UTF-8", strEncoding.c_str());
  if (pIconv == kNoIconv) {
    std::string strOut;
    for (const char c : text)
      if (static_cast<unsigned char>(c) < 0x80)
        strOut += EscapeTranscriptText(std::string_view(&c, 1));
      else
        AppendHex(strOut, static_cast<unsigned char>(c));
    return strOut;
  }
  std::string strOut;
  std::string strPiece(text.size() * 4 + 16, '\0'); // no code page takes more than 4 per byte
  char* pIn = const_cast<char*>(text.data());       // iconv's signature; the input is not written
  std::size_t nIn = text.size();
  while (nIn > 0) {
    char* pNext = strPiece.data();
    std::size_t nLeft = strPiece.size();
    // The room suffices, so a failure is a byte the code page cannot decode, or an incomplete
    // sequence at the end.
    const bool bFailed = iconv(pIconv, &pIn, &nIn, &pNext, &nLeft) == static_cast<std::size_t>(-1);
    if (!bFailed)
      iconv(pIconv, nullptr, nullptr, &pNext, &nLeft);
    strOut += EscapeTranscriptText(
        std::string_view(strPiece.data(), static_cast<std::size_t>(pNext - strPiece.data())));
    if (bFailed) {
      // A byte the code page cannot decode: written as itself, and decoding goes on after it.
      AppendHex(strOut, static_cast<unsigned char>(*pIn));
      ++pIn;
      --nIn;
      iconv(pIconv, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(pIconv);
  return strOut;
}

std::string UnescapeTranscriptText(std::string_view text) {
  const auto HexValue = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  std::string strOut;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      strOut += text[i];
      continue;
    }
    const char next = text[i + 1];
    if (next == '\\' || next == 't' || next == 'r') {
      strOut += next == '\\' ? '\\' : next == 't' ? '\t' : '\r';
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
               HexValue(text[i + 3]) >= 0) {
      strOut += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      strOut += text[i];
    }
  }
  return strOut;
}

} // namespace dovetrel
