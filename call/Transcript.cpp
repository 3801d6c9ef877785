#include "call/Transcript.h"

#include "scenario/Utf8.h"

#include <iconv.h>

namespace dovetrel {

namespace {

void AppendHex(std::string& strOut, unsigned char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  strOut += "\\x";
  strOut += kDigits[c >> 4];
  strOut += kDigits[c & 0x0F];
}

int HexDigit(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                : -1;
}

/// True when a percent-escape starts at \p i of \p text.
bool EscapeAt(std::string_view text, std::size_t i) {
  return text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
         HexDigit(text[i + 2]) >= 0;
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
    const std::size_t nLength = Utf8SequenceLength(utf8, i);
    if (c == '\\')
      strOut += "\\\\";
    else if (c == '\t')
      strOut += "\\t";
    else if (c == '\r')
      strOut += "\\r";
    else if (nLength == 0 || c < 0x20 || c == 0x7F)
      AppendHex(strOut, c);
    else if (c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) { // C1 control
      // Both of its bytes: a lone "\x85" is the byte 0x85, another key.
      AppendHex(strOut, c);
      AppendHex(strOut, static_cast<unsigned char>(utf8[i + 1]));
    } else
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

std::string PercentDecoded(std::string_view uri) {
  std::string strValue;
  strValue.reserve(uri.size());
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (EscapeAt(uri, i)) {
      strValue += static_cast<char>(HexDigit(uri[i + 1]) * 16 + HexDigit(uri[i + 2]));
      i += 2;
    } else {
      strValue += uri[i];
    }
  }
  return strValue;
}

std::string DecodeUriTranscriptText(std::string_view text, const std::string& strEncoding) {
  // Escapes are ASCII in every code page: the text between them decodes with the set's code page,
  // and each run of escapes gives the URI's own bytes (UTF-8 where they form it). The text beside
  // a run begins and ends on whole characters, so no sequence spans both.
  std::string strOut;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t nEnd = i;
    if (EscapeAt(text, i)) {
      while (nEnd < text.size() && EscapeAt(text, nEnd))
        nEnd += 3;
      strOut += EscapeTranscriptText(PercentDecoded(text.substr(i, nEnd - i)));
    } else {
      while (nEnd < text.size() && !EscapeAt(text, nEnd))
        ++nEnd;
      strOut += DecodeTranscriptText(text.substr(i, nEnd - i), strEncoding);
    }
    i = nEnd;
  }
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
