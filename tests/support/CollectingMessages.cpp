#include "tests/support/CollectingMessages.h"

#include "convert/Texts.h"
#include "scenario/Texts.h"
#include "vxml/Texts.h"

#include <gtest/gtest.h>

#include <utility>

namespace dovetrel::test {

namespace {

/// Every failure text with the code that must come with it.
const std::pair<std::string_view, FindingCode> kFindingCodes[] = {
    {text::kTableFull, FindingCode::TableFull},
    {text::kTextTooLong, FindingCode::TextTooLong},
    {text::kCannotOpenIvr, FindingCode::CannotOpenFile},
    {text::kNoLineInIvr, FindingCode::NoFirstLine},
    {text::kBadTimeout, FindingCode::BadTimeout},
    {text::kBadGreeting, FindingCode::BadGreeting},
    {text::kCannotWriteHeader, FindingCode::CannotWriteHeader},
    {text::kCannotWriteElement, FindingCode::CannotWriteElement},
    {text::kCannotWriteEnd, FindingCode::CannotWriteEnd},
    {text::kNameMissing, FindingCode::NameMissing},
    {text::kLoadFailed, FindingCode::LoadFailed},
    {text::kConvertFailed, FindingCode::ConvertFailed},
    {text::kTargetIsScenario, FindingCode::TargetIsScenario},
};

/// Code branches on the failure code, people read the text: every failure must carry the code its
/// text stands for, and every other message none.
void CheckCode(std::string_view text, MessageKind kind, FindingCode code) {
  if (kind == MessageKind::Error)
    return;
  if (kind != MessageKind::Warning) {
    EXPECT_EQ(code, FindingCode::None) << text;
    return;
  }
  for (const auto& [known, expected] : kFindingCodes)
    if (known == text) {
      EXPECT_EQ(code, expected) << text;
      return;
    }
  EXPECT_NE(code, FindingCode::None) << "a failure without a code: " << text;
}

} // namespace

CCollectingMessages::~CCollectingMessages() {
  for (const CollectedMessage& message : m_unread)
    ADD_FAILURE() << "unread message of kind " << static_cast<int>(message.kind) << ": "
                  << message.strText << " [" << FormatDetail(message.detail) << "]";
}

std::string WarningLines(const Finding& message) {
  std::string strLines;
  for (const Finding& warning : message.vecRelated)
    strLines += (strLines.empty() ? "" : "\n") + FormatFinding(warning);
  return strLines;
}

MessageReply CCollectingMessages::ShowMessage(const Finding& finding, MessageKind kind) {
  CheckCode(finding.strText, kind, finding.code);
  m_unread.push_back(CollectedMessage{finding.strText, kind, finding});
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
  EXPECT_EQ(message.kind, kind);
  return message;
}

} // namespace dovetrel::test
