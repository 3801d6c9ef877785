#include "scenario/Message.h"

namespace dovetrel {

void ShowFailure(IMessageSink& messages, FindingCode code, std::string_view text, Finding where) {
  where.code = code;
  where.severity = Severity::Error;
  where.strText = text;
  messages.ShowMessage(where, MessageKind::Warning);
}

} // namespace dovetrel
