#include "tests/support/CollectingMessages.h"

#include "convert/Texts.h"
#include "scenario/Texts.h"
#include "vxml/Texts.h"

#include <gtest/gtest.h>

#include <utility>

namespace dovetrel::test {

namespace {

/// Every failure text with the code that must come with it.
const std::pair<std::string_view, FailureCode> kFailureCodes[] = {
    {text::kTableFull, FailureCode::TableFull},
    {text::kTextTooLong, FailureCode::TextTooLong},
    {text::kCannotOpenIvr, FailureCode::CannotOpenFile},
    {text::kNoLineInIvr, FailureCode::NoFirstLine},
    {text::kBadTimeout, FailureCode::BadTimeout},
    {text::kBadGreeting, FailureCode::BadGreeting},
    {text::kCannotWriteHeader, FailureCode::CannotWriteHeader},
    {text::kCannotWriteElement, FailureCode::CannotWriteElement},
    {text::kCannotWriteEnd, FailureCode::CannotWriteEnd},
    {text::kNameMissing, FailureCode::NameMissing},
    {text::kLoadFailed, FailureCode::LoadFailed},
    {text::kConvertFailed, FailureCode::ConvertFailed},
    {text::kTargetIsScenario, FailureCode::TargetIsScenario},
};

/// Code branches on the failure code, people read the text: every failure must carry the code its
/// text stands for, and every other message none.
void CheckCode(std::string_view text, MessageKind kind, FailureCode code) {
  if (kind == MessageKind::Error)
    return;
  if (kind != MessageKind::Warning) {
    EXPECT_EQ(code, FailureCode::None) << text;
    return;
  }
  for (const auto& [known, expected] : kFailureCodes)
    if (known == text) {
      EXPECT_EQ(code, expected) << text;
      return;
    }
  EXPECT_NE(code, FailureCode::None) << "a failure without a code: " << text;
}

} // namespace

CCollectingMessages::~CCollectingMessages() {
  for (const CollectedMessage& message : m_unread)
    ADD_FAILURE() << "unread message: " << KindName(message.kind) << ": " << message.strText << " ["
                  << FormatDetail(message.detail) << "]";
}

MessageReply CCollectingMessages::ShowMessage(std::string_view text, MessageKind kind,
                                              const MessageDetail& detail) {
  CheckCode(text, kind, detail.code);
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
