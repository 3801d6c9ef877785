#include "tests/support/CollectingMessages.h"

#include <gtest/gtest.h>

namespace dovetrel::test {

CCollectingMessages::~CCollectingMessages() {
  for (const CollectedMessage& message : m_unread)
    ADD_FAILURE() << "unread message: " << KindName(message.kind) << ": " << message.strText << " ["
                  << FormatDetail(message.detail) << "]";
}

MessageReply CCollectingMessages::ShowMessage(std::string_view text, MessageKind kind,
                                              const MessageDetail& detail) {
  m_unread.push_back(CollectedMessage{std::string(text), kind, detail});
  return kind == MessageKind::Question ? m_questionReply : MessageReply::Ok;
}

CollectedMessage CCollectingMessages::Take() {
  if (m_unread.empty()) {
    ADD_FAILURE() << "expected a message, none was shown";
    return CollectedMessage{{}, MessageKind::Warning, {}};
  }
  CollectedMessage message = m_unread.front();
  m_unread.pop_front();
  return message;
}

CollectedMessage CCollectingMessages::Expect(std::string_view text, MessageKind kind) {
  CollectedMessage message = Take();
  EXPECT_EQ(message.strText, text);
  EXPECT_EQ(KindName(message.kind), KindName(kind));
  return message;
}

} // namespace dovetrel::test
