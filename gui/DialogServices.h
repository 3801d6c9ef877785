#pragma once

#include "scenario/Message.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// What the dialog asks of the window system beyond its own window: the file choosers and the
/// message boxes. The real one opens modal windows; tests script the answers instead.
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
  virtual MessageReply ShowBox(MessageKind kind, std::string_view text,
                               const MessageDetail& detail) = 0;
};

/// Shows every message of a command as a box.
class CBoxMessageSink final : public IMessageSink {
public:
  explicit CBoxMessageSink(IDialogServices& services) : m_services(services) {}
  using IMessageSink::ShowMessage;
  MessageReply ShowMessage(std::string_view text, MessageKind kind,
                           const MessageDetail& detail) override {
    return m_services.ShowBox(kind, text, detail);
  }

private:
  IDialogServices& m_services;
};

} // namespace dovetrel
