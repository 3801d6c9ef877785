#pragma once

#include "text/TextCodec.h"

#include <memory>
#include <string>
#include <string_view>

namespace dovetrel {

/// Turns texts of a call flow, bytes of the set's code page as the table holds them, into UTF-8
/// that a diagram or another tool can show as it stands: every text decodes, whatever it holds.
/// Control characters come out escaped as in messages ("\t", "\x1B"), and a byte the code page
/// cannot decode as "\xNN".
class CFlowText {
public:
  /// The decoder of \p strEncoding, any name iconv knows; null when it knows no such code page.
  static std::unique_ptr<CFlowText> Open(const std::string& strEncoding);

  /// \p bytes of the set's code page, in UTF-8.
  std::string Decode(std::string_view bytes);
  /// A file path: its UTF-8 stays (the directory the operator named), and every other byte is
  /// decoded with the set's code page (a name the set gave). Controls are escaped.
  std::string DecodePath(std::string_view path);
  /// A text of ours, UTF-8, that quotes bytes of the set: its UTF-8 stays, and every other byte
  /// is decoded with the set's code page.
  std::string DecodeQuoting(std::string_view text);

private:
  explicit CFlowText(std::unique_ptr<CTextCodec> pCodec) : m_pCodec(std::move(pCodec)) {}
  void AppendRun(std::string_view run, std::string& strOut);

  std::unique_ptr<CTextCodec> m_pCodec;
  std::string m_strPiece; ///< the UTF-8 of the piece being decoded
};

} // namespace dovetrel
