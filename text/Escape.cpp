#include "text/Escape.h"

#include "text/TextCodec.h"
#include "text/Utf8.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// Who reads an escaped text: a person (a message, a terminal) or the call that reads it back.
enum class EscapeFor {
  Message,    ///< controls only; "\n" named; a C1 control as its second byte; other bytes stay
  Transcript, ///< reversible: also the backslash and every byte of no UTF-8; a C1 as both bytes
};

void AppendControl(std::string& strOut, char c, EscapeFor reader) {
  if (c == '\t')
    strOut += "\\t";
  else if (c == '\r')
    strOut += "\\r";
  else if (c == '\n' && reader == EscapeFor::Message)
    strOut += "\\n";
  else
    AppendHexEscape(strOut, c);
}

/// The one escaping walk: \p text, character by character, as \p reader needs it.
std::string Escape(std::string_view text, EscapeFor reader) {
  const bool bTranscript = reader == EscapeFor::Transcript;
  std::string strOut;
  strOut.reserve(text.size());
  ForEachCodepoint(text, [&](std::int32_t nCodepoint, std::string_view sequence) {
    if (nCodepoint == '\\' && bTranscript) {
      strOut += "\\\\";
    } else if ((nCodepoint >= 0 && nCodepoint < 0x20) || nCodepoint == 0x7F) {
      AppendControl(strOut, sequence[0], reader);
    } else if (nCodepoint >= 0x80 && nCodepoint <= 0x9F) {
      // A C1 control. In a transcript both of its bytes: a lone "\x85" is the byte 0x85, another
      // key.
      if (bTranscript)
        AppendHexEscape(strOut, sequence[0]);
      AppendHexEscape(strOut, sequence[1]);
    } else if (nCodepoint < 0 && bTranscript) {
      AppendHexEscape(strOut, sequence[0]);
    } else {
      strOut += sequence;
    }
  });
  return strOut;
}

int UpperHexValue(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

/// Appends the ASCII beginning of \p text to \p strOut and returns its length: all that a code
/// page nobody knows can be trusted to decode.
std::size_t DecodeAscii(std::string_view text, std::string& strOut) {
  const auto end = std::find_if(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  const auto nLength = static_cast<std::size_t>(end - text.begin());
  strOut.append(text.substr(0, nLength));
  return nLength;
}

} // namespace

void AppendHexEscape(std::string& strOut, char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto b = static_cast<unsigned char>(c);
  strOut += "\\x";
  strOut += kDigits[b >> 4];
  strOut += kDigits[b & 0x0F];
}

std::string EscapeControls(std::string_view text) {
  return Escape(text, EscapeFor::Message);
}

std::string EscapeTranscriptText(std::string_view utf8) {
  return Escape(utf8, EscapeFor::Transcript);
}

std::string UnescapeTranscriptText(std::string_view text) {
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
    } else if (next == 'x' && i + 3 < text.size() && UpperHexValue(text[i + 2]) >= 0 &&
               UpperHexValue(text[i + 3]) >= 0) {
      strOut += static_cast<char>(UpperHexValue(text[i + 2]) * 16 + UpperHexValue(text[i + 3]));
      i += 3;
    } else {
      strOut += text[i];
    }
  }
  return strOut;
}

std::string DecodeTranscriptText(std::string_view text, const std::string& strEncoding) {
  const std::unique_ptr<CTextCodec> pCodec = CTextCodec::Open(strEncoding);
  std::string strOut;
  std::string strPiece;
  while (!text.empty()) {
    strPiece.clear();
    std::size_t nDone = pCodec ? pCodec->Decode(text, strPiece) : DecodeAscii(text, strPiece);
    strOut += EscapeTranscriptText(strPiece);
    if (nDone < text.size()) {
      // A byte the code page cannot decode: written as itself, and decoding goes on after it.
      AppendHexEscape(strOut, text[nDone]);
      ++nDone;
    }
    text.remove_prefix(nDone);
  }
  return strOut;
}

std::string Quoted(std::string_view text) {
  return "«" + std::string(text) + "»";
}

} // namespace dovetrel
