#pragma once

#include "scenario/Message.h"

#include <deque>
#include <string>
#include <string_view>

namespace dovetrel::test {

/// One message as the code under test reported it.
struct CollectedMessage {
  std::string strText;
  MessageKind kind;
  Finding detail; ///< the whole finding, its text too
};

/// The findings that go with \p message (the warnings of a conversion), one line each.
std::string WarningLines(const Finding& message);

/// A message sink that keeps every message for the test to read, in order. A message the test
/// never reads fails the test when the sink goes away, so no report goes unnoticed.
class CCollectingMessages final : public IMessageSink {
public:
  ~CCollectingMessages() override;
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override;

  /// The oldest unread message; fails the test when there is none.
  CollectedMessage Take();
  /// Takes the oldest unread message and checks its text and kind; returns it for further checks.
  CollectedMessage Expect(std::string_view text, MessageKind kind = MessageKind::Warning);
  /// Marks every message read.
  void Discard() { m_unread.clear(); }
  bool Empty() const { return m_unread.empty(); }
  std::size_t Count() const { return m_unread.size(); }

  /// The answer to a question box.
  MessageReply m_questionReply = MessageReply::Yes;

private:
  std::deque<CollectedMessage> m_unread;
};

} // namespace dovetrel::test
