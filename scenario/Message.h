#pragma once

#include "text/Escape.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// What a message box looks like and which buttons it offers.
enum class MessageKind {
  Warning,     ///< exclamation mark, OK: every failure
  Information, ///< information icon, OK: the success of a conversion
  Question,    ///< question mark, Yes and No: the exit question
  Error,       ///< stop icon, OK: a read error that ends a command
};

/// The button the operator closed a box with.
enum class MessageReply { Ok, Yes, No };

/// What failed, for code to branch on; the operator text beside it says the same to people.
enum class FailureCode {
  None,               ///< not a failure: a success, a question
  TableFull,          ///< the set needs more rows than the table holds
  TextTooLong,        ///< a row text of 64 bytes or more
  CannotOpenFile,     ///< a scenario file cannot be opened
  NoFirstLine,        ///< a scenario file holds no line at all
  BadTimeout,         ///< line 1 has no timeout
  BadGreeting,        ///< line 1 has no greeting
  CannotWriteHeader,  ///< the document cannot be started
  CannotWriteElement, ///< a row cannot be written
  CannotWriteEnd,     ///< the document cannot be finished or put in place
  NameMissing,        ///< the IVR or the VoiceXML name is empty
  LoadFailed,         ///< summary: the set could not be loaded
  ConvertFailed,      ///< summary: the document could not be written
  TargetIsScenario,   ///< the document would replace a file of the set it comes from
  ReadError,          ///< a file could not be read to its end
  CannotOpenFolder,   ///< the desktop could not show the folder of a document
  OutOfMemory,        ///< the command ran out of memory
  Unexpected,         ///< anything else that ended a command
  CannotLoadModule,   ///< the drawing module cannot be opened
  CannotDraw,         ///< the call flow cannot be drawn
  CannotWriteFlow,    ///< the call flow's file cannot be written
  CannotWriteCall,    ///< a call's record cannot be written
  CannotRunCall,      ///< a converted document cannot be run as a call
};

/// Where a failure was found, handed over beside the operator text so that the author can go
/// straight to the file and line at fault. The operator text itself never changes.
struct MessageDetail {
  std::string strFile; ///< full path of the file concerned; empty when no file is concerned
  int nLine = 0;       ///< 1-based line at fault; 0 when the file as a whole is concerned
  std::string strNote; ///< further words, such as the system's reason; may be empty
  FailureCode code = FailureCode::None; ///< what failed; None for every other message
  /// For a nested file: "FILE:LINE" of the menu line that names it; empty otherwise.
  std::string strNamedAt{};
};

/// The one way the core reports to the operator: the dialog shows a box, the command line prints a
/// line, tests collect. Every call is synchronous and returns the button that closed the box.
class IMessageSink {
public:
  virtual ~IMessageSink() = default;
  virtual MessageReply ShowMessage(std::string_view text, MessageKind kind,
                                   const MessageDetail& detail) = 0;

  MessageReply ShowMessage(std::string_view text, MessageKind kind) {
    return ShowMessage(text, kind, MessageDetail{});
  }
};

/// Shows failure \p code to the operator as a warning with its \p text, \p where telling the place.
inline void ShowFailure(IMessageSink& messages, FailureCode code, std::string_view text,
                        MessageDetail where) {
  where.code = code;
  messages.ShowMessage(text, MessageKind::Warning, where);
}

/// The detail as one line, "FILE:LINE: NOTE (указан в NAMED_AT)", leaving out the parts that are
/// empty; a note of several lines stays several lines. Control characters show escaped.
std::string FormatDetail(const MessageDetail& detail);

/// The lower-case name of the kind as the command line prints it ("warning", "information"...).
std::string_view KindName(MessageKind kind);

} // namespace dovetrel
