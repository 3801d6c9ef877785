#pragma once

#include "gui/DialogServices.h"

#include <QStringList>

#include <deque>
#include <string>

namespace dovetrel::test {

/// One box the dialog showed.
struct ShownBox {
  MessageKind kind;
  std::string strText;
  MessageDetail detail;
};

/// Choosers and boxes whose answers the test scripts beforehand, so that no modal window ever
/// opens. A chooser or question with no scripted answer, and a box the test never takes, are
/// faults that Leftovers() names.
class CScriptedServices final : public IDialogServices {
public:
  std::string OpenFileName(std::string_view filter, const std::string& strStartPath) override;
  std::string SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                           const std::string& strStartPath) override;
  MessageReply ShowBox(MessageKind kind, std::string_view text,
                       const MessageDetail& detail) override;

  /// Takes the oldest box not yet taken; a box with empty text when there is none (and the
  /// missing box is recorded as a fault).
  ShownBox Take();
  /// Everything the test did not script or did not take; empty when all went as planned.
  QStringList Leftovers() const;

  std::deque<std::string> m_openResults;   ///< what the open chooser returns, in order
  std::deque<std::string> m_saveResults;   ///< what the save chooser returns, in order
  std::deque<MessageReply> m_replies;      ///< the answers to questions, in order
  std::deque<std::string> m_chooserCalls;  ///< "open FILTER" or "save FILTER SUFFIX" per call
  std::deque<std::string> m_chooserStarts; ///< the start path each chooser was given, in order

private:
  std::deque<ShownBox> m_shown;
  QStringList m_faults;
};

} // namespace dovetrel::test
