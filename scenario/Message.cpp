#include "scenario/Message.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// \p text escaped, its line ends kept: the lines of a note that holds several.
std::string EscapeLines(std::string_view text) {
  std::string strOut;
  for (std::size_t nStart = 0; nStart <= text.size();) {
    const std::size_t nEnd = std::min(text.find('\n', nStart), text.size());
    strOut += EscapeControls(text.substr(nStart, nEnd - nStart));
    if (nEnd < text.size())
      strOut += '\n';
    nStart = nEnd + 1;
  }
  return strOut;
}

} // namespace

std::string FormatDetail(const MessageDetail& detail) {
  std::string strLine = EscapeControls(detail.strFile);
  if (!strLine.empty() && detail.nLine > 0)
    strLine += ':' + std::to_string(detail.nLine);
  if (!detail.strNote.empty()) {
    if (!strLine.empty())
      strLine += ": ";
    strLine += EscapeLines(detail.strNote);
  }
  if (!detail.strNamedAt.empty())
    strLine += " (указан в " + EscapeControls(detail.strNamedAt) + ")";
  return strLine;
}

std::string_view KindName(MessageKind kind) {
  switch (kind) {
  case MessageKind::Warning:
    return "warning";
  case MessageKind::Information:
    return "information";
  case MessageKind::Question:
    return "question";
  case MessageKind::Error:
    return "error";
  }
  return "error";
}

} // namespace dovetrel
