#include "scenario/Message.h"

namespace dovetrel {

namespace {

void AppendEscaped(std::string& strOut, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  switch (c) {
  case '\t':
    strOut += "\\t";
    return;
  case '\r':
    strOut += "\\r";
    return;
  case '\n':
    strOut += "\\n";
    return;
  default:
    strOut += "\\x";
    strOut += kHex[c >> 4];
    strOut += kHex[c & 0xF];
  }
}

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

/// True when \p text holds, at \p i, a C1 control written in UTF-8 (U+0080 to U+009F).
bool IsUtf8C1(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

} // namespace

std::string EscapeControls(std::string_view text) {
  std::string strOut;
  strOut.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsControl(c)) {
      AppendEscaped(strOut, c);
    } else if (IsUtf8C1(text, i)) {
      AppendEscaped(strOut, static_cast<unsigned char>(text[++i]));
    } else {
      strOut += static_cast<char>(c);
    }
  }
  return strOut;
}

void ShowFailure(IMessageSink& messages, FindingCode code, std::string_view text, Finding where) {
  where.code = code;
  where.severity = Severity::Error;
  where.strText = text;
  messages.ShowMessage(where, MessageKind::Warning);
}

} // namespace dovetrel
