#include "call/Transcript.h"

namespace dovetrel {

namespace {

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

} // namespace

std::string TranscriptLine(std::string_view word, std::string_view text) {
  std::string strLine(word);
  if (!text.empty()) {
    strLine += ' ';
    strLine += text;
  }
  return strLine;
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

} // namespace dovetrel
