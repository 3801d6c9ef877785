#pragma once

#include "gui/DialogServices.h"

#include <QStringList>

#include <deque>
#include <string>

namespace dovetrel::test {

/// One box the dialog showed; the success box as an Information box with its report.
struct ShownBox {
  MessageKind kind;
  std::string strText;
  Finding detail;
  ConversionReport report; ///< the success box's document and warnings; empty for other boxes
};

/// Choosers, boxes and the file manager, whose answers the test scripts beforehand, so that no
/// window ever opens. A chooser, question or folder opening with no scripted answer, and a box
/// the test never takes, are faults that Leftovers() names. The success box answers OK unless a
/// reply is scripted, as Enter would.
class CScriptedServices final : public IDialogServices {
public:
  std::string OpenFileName(std::string_view filter, const std::string& strStartPath) override;
  std::string SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                           const std::string& strStartPath) override;
  MessageReply ShowBox(MessageKind kind, std::string_view text, const Finding& detail) override;
  SuccessReply ShowSuccess(std::string_view text, const ConversionReport& report) override;
  bool OpenFolder(const std::string& strFolder) override;
  void PlayAudio(const std::string& strPath) override { m_played.push_back(strPath); }

  /// Takes the oldest box not yet taken; a box with empty text when there is none (and the
  /// missing box is recorded as a fault).
  ShownBox Take();
  /// Everything the test did not script or did not take; empty when all went as planned.
  QStringList Leftovers() const;

  std::deque<std::string> m_openResults;     ///< what the open chooser returns, in order
  std::deque<std::string> m_saveResults;     ///< what the save chooser returns, in order
  std::deque<MessageReply> m_replies;        ///< the answers to questions, in order
  std::deque<std::string> m_chooserCalls;    ///< "open FILTER" or "save FILTER SUFFIX" per call
  std::deque<std::string> m_chooserStarts;   ///< the start path each chooser was given, in order
  std::deque<SuccessReply> m_successReplies; ///< the answers to success boxes, in order
  std::deque<bool> m_folderResults;          ///< whether each folder opening works, in order
  std::deque<std::string> m_openedFolders;   ///< the folders the file manager was asked to show
  std::deque<std::string> m_played;          ///< the audio files played, in order

private:
  std::deque<ShownBox> m_shown;
  QStringList m_faults;
};

} // namespace dovetrel::test
