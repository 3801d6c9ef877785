#pragma once

#include "scenario/Message.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dovetrel {

/// What the success box of a conversion shows beneath its main text.
struct ConversionReport {
  std::string strDocument;           ///< the document written, as an absolute path
  std::vector<std::string> warnings; ///< the set's warnings, one line each; empty for none
};

/// The button that closed the success box.
enum class SuccessReply {
  Ok,         ///< OK, Enter or Escape: nothing more to do
  OpenFolder, ///< the operator wants to see the folder that holds the document
};

/// What the dialog asks of the window system beyond its own window: the file choosers, the message
/// boxes and the desktop's file manager. The real one opens windows; tests script the answers.
class IDialogServices {
public:
  virtual ~IDialogServices() = default;

  /// Lets the operator choose an existing file through the one filter entry \p filter (such as
  /// "Scenario IVR (*.ivr)"). The chooser opens in the folder of \p strStartPath (the path itself
  /// when it is a folder) with that file selected when it exists; an empty path leaves the
  /// choice of folder to the chooser. Returns the full path, or an empty string after a cancel.
  virtual std::string OpenFileName(std::string_view filter, const std::string& strStartPath) = 0;

  /// Lets the operator name a file to write, through the one filter entry \p filter; a name typed
  /// without an extension gets \p defaultSuffix. The chooser opens in the folder of
  /// \p strStartPath and offers its file name. Choosing an existing file asks nothing. Returns
  /// the full path, or an empty string after a cancel.
  virtual std::string SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                                   const std::string& strStartPath) = 0;

  /// Shows a modal box of \p kind with the application title as caption and \p text as its main
  /// text, word for word; a non-empty \p detail is shown beneath it. Returns the button pressed.
  virtual MessageReply ShowBox(MessageKind kind, std::string_view text, const Finding& detail) = 0;

  /// Shows the modal information box of a conversion that succeeded: \p text word for word, then
  /// the document \p report names, how many warnings there are and their list. OK is the default
  /// button; a second one offers to open the folder. Returns the button pressed.
  virtual SuccessReply ShowSuccess(std::string_view text, const ConversionReport& report) = 0;

  /// Shows the folder \p strFolder in the desktop's file manager, without waiting for it. Returns
  /// false when no file manager could be started.
  virtual bool OpenFolder(const std::string& strFolder) = 0;

  /// Plays the audio file \p strPath, without waiting for it, stopping what played before. A
  /// machine without sound, or a file that does not play, is passed over in silence.
  virtual void PlayAudio(const std::string& strPath) = 0;
};

/// Shows every message of a conversion as a box; the success as the success box, which names the
/// document and opens its folder when the operator asks.
class CBoxMessageSink final : public IMessageSink {
public:
  /// \p strDocument is the VoiceXML name the conversion writes, as the operator gave it.
  CBoxMessageSink(IDialogServices& services, std::string strDocument)
      : m_services(services), m_strDocument(std::move(strDocument)) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override;

private:
  /// The success box; a failure to open the folder is a warning box of its own.
  void ShowSuccess(const Finding& success);

  IDialogServices& m_services;
  std::string m_strDocument;
};

/// \p strPath made absolute against the working directory, its folder resolved as the system
/// resolves it (no ".", "..", or links); as it stands when the working directory is unknown.
std::string AbsolutePath(const std::string& strPath);

} // namespace dovetrel
