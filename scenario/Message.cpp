#include "scenario/Message.h"

namespace dovetrel {

std::string FormatDetail(const MessageDetail& detail) {
  std::string strLine = detail.strFile;
  if (!strLine.empty() && detail.nLine > 0)
    strLine += ':' + std::to_string(detail.nLine);
  if (!detail.strNote.empty()) {
    if (!strLine.empty())
      strLine += ": ";
    strLine += detail.strNote;
  }
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
